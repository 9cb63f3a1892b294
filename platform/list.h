#pragma once
// TList: the ordered, doubly linked list of object references that holds every
// collection of the game (balls, shots, items, particles, envelope markers).
//
// Links are stable: an element can be removed while the list is walked, even the
// element the walk stands on, and the walk goes on from there. Lists take tens of
// thousands of appends per frame, so links come from a per-list pool and are never
// freed one by one; a removed link is recycled only when no walk can still stand on
// it, and the handle an append returns stays safe to use after the element is gone.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

template <class T>
class TList {
  struct Node {
    T value{};
    Node* prev = nullptr;
    Node* next = nullptr;
    bool linked = false;
    uint32_t generation = 0;  // bumped on recycling, so stale handles do nothing
  };

 public:
  // A handle on one element, as returned by AddLast and handed out by walks.
  class TLink {
   public:
    TLink() = default;
    explicit operator bool() const { return node_ != nullptr; }
    // True while the element is still in its list.
    bool Linked() const { return node_ && node_->generation == generation_ && node_->linked; }
    const T& Value() const { return node_->value; }
    // Unlinks the element; removing it twice, or after its list was cleared, does nothing.
    void Remove() {
      if (Linked()) list_->Unlink(node_);
    }

   private:
    friend class TList;
    TLink(TList* list, Node* node) : list_(list), node_(node), generation_(node->generation) {}
    TList* list_ = nullptr;
    Node* node_ = nullptr;
    uint32_t generation_ = 0;
  };

  // Walks the list in order, yielding a TLink per element. While any iterator is
  // alive, removed links are not recycled, so the walk can always step on.
  class Iterator {
   public:
    Iterator(TList* list, Node* node) : list_(list), node_(node) {
      SkipRemoved();
      if (list_) ++list_->walks_;
    }
    Iterator(const Iterator& other) : Iterator(other.list_, other.node_) {}
    Iterator& operator=(const Iterator&) = delete;
    ~Iterator() {
      if (list_) list_->EndWalk();
    }
    TLink operator*() const { return TLink(list_, node_); }
    Iterator& operator++() {
      node_ = node_->next;
      SkipRemoved();
      return *this;
    }
    bool operator==(const Iterator& other) const { return node_ == other.node_; }

   private:
    void SkipRemoved() {
      while (node_ && !node_->linked) node_ = node_->next;
    }
    TList* list_;
    Node* node_;
  };

  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  ~TList() = default;

  TLink AddLast(T value) {
    Node* node = Acquire();
    node->value = std::move(value);
    node->prev = last_;
    node->next = nullptr;
    node->linked = true;
    (last_ ? last_->next : first_) = node;
    last_ = node;
    ++count_;
    return TLink(this, node);
  }

  Iterator begin() { return Iterator(this, first_); }
  Iterator end() { return Iterator(nullptr, nullptr); }

  TLink FirstLink() { return first_ ? TLink(this, first_) : TLink(); }
  TLink LastLink() { return last_ ? TLink(this, last_) : TLink(); }

  int Count() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }

  void Clear() {
    while (first_) Unlink(first_);
  }

  // Orders the elements by compare(a, b) < 0, keeping equal elements in their order.
  template <class Compare>
  void Sort(Compare compare) {
    std::vector<Node*> nodes;
    nodes.reserve(count_);
    for (Node* node = first_; node; node = node->next) nodes.push_back(node);
    std::stable_sort(nodes.begin(), nodes.end(),
                     [&](Node* a, Node* b) { return compare(a->value, b->value) < 0; });
    Node* previous = nullptr;
    for (Node* node : nodes) {
      node->prev = previous;
      (previous ? previous->next : first_) = node;
      previous = node;
    }
    if (previous) previous->next = nullptr;
    last_ = previous;
  }

 private:
  // A removed node keeps its next pointer so that a walk standing on it can go on.
  void Unlink(Node* node) {
    (node->prev ? node->prev->next : first_) = node->next;
    (node->next ? node->next->prev : last_) = node->prev;
    node->linked = false;
    --count_;
    retired_.push_back(node);
    if (walks_ == 0) Recycle();
  }

  void EndWalk() {
    if (--walks_ == 0) Recycle();
  }

  void Recycle() {
    for (Node* node : retired_) {
      node->value = T{};
      ++node->generation;
      node->next = free_;
      free_ = node;
    }
    retired_.clear();
  }

  Node* Acquire() {
    if (!free_) Grow();
    Node* node = free_;
    free_ = node->next;
    return node;
  }

  void Grow() {
    const size_t size = std::min<size_t>(kMaxChunk, kFirstChunk << chunks_.size());
    chunks_.push_back(std::make_unique<Node[]>(size));
    Node* chunk = chunks_.back().get();
    for (size_t i = 0; i < size; ++i) {
      chunk[i].next = free_;
      free_ = &chunk[i];
    }
  }

  static constexpr size_t kFirstChunk = 16;
  static constexpr size_t kMaxChunk = 4096;

  Node* first_ = nullptr;
  Node* last_ = nullptr;
  Node* free_ = nullptr;
  int count_ = 0;
  int walks_ = 0;
  std::vector<Node*> retired_;
  std::vector<std::unique_ptr<Node[]>> chunks_;
};
