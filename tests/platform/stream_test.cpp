#include "platform/stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

const uint8_t kBytes[] = {0x41, 0x42, 0xff, 0xfe, 0xff, 0xff, 0x00, 0x00, 0x80, 0x3f, 0x07};

EmbeddedFiles Files() {
  EmbeddedFiles files;
  files.RegisterEmbeddedFile("font.png", kBytes, sizeof kBytes);
  files.RegisterEmbeddedFile("assets\\drain.wkt", kBytes + 10, 1);
  return files;
}

TEST(Stream, EmbeddedSchemeIsMatchedInAnyLetterCase) {
  const EmbeddedFiles files = Files();
  auto font = OpenReadStream(files, "incbin::font.png");
  auto drain = OpenReadStream(files, "Incbin::assets\\drain.wkt");
  ASSERT_TRUE(font && drain);
  EXPECT_EQ(font->Size(), sizeof kBytes);
  EXPECT_EQ(drain->ReadByte(), 7);
  EXPECT_EQ(OpenReadStream(files, "INCBIN::font.png")->Size(), sizeof kBytes);
}

TEST(Stream, UnknownNamesAndMissingFilesOpenNothing) {
  const EmbeddedFiles files = Files();
  EXPECT_EQ(OpenReadStream(files, "incbin::nothing"), nullptr);
  EXPECT_EQ(OpenReadStream(files, "incbin::FONT.PNG"), nullptr);  // names are exact
  EXPECT_EQ(OpenReadStream(files, ""), nullptr);
  EXPECT_EQ(OpenReadStream(files, "/no/such/file.wkt"), nullptr);
}

TEST(Stream, ReadsLittleEndianFieldsInOrder) {
  TStream stream{std::span<const uint8_t>(kBytes)};
  EXPECT_EQ(stream.ReadString(2), "AB");
  EXPECT_EQ(stream.ReadInt(), -257);  // ff fe ff ff is 0xfffffeff
  EXPECT_EQ(stream.ReadFloat(), 1.0f);
  EXPECT_EQ(stream.ReadByte(), 7);
  EXPECT_FALSE(stream.Failed());
  EXPECT_EQ(stream.Remaining(), 0u);
}

TEST(Stream, AReadPastTheEndGivesZerosAndFailsTheStream) {
  TStream stream(std::span<const uint8_t>(kBytes, 3));
  EXPECT_EQ(stream.ReadByte(), 0x41);
  EXPECT_EQ(stream.ReadInt(), 0);  // only two bytes left: none of them is used
  EXPECT_TRUE(stream.Failed());
  EXPECT_EQ(stream.ReadByte(), 0);
  EXPECT_EQ(stream.ReadString(1 << 30), std::string(1, '\0'));
}

// An empty embedded block has no address; reading nothing from it must not touch it.
TEST(Stream, AnEmptyBlockReadsNothingAndThenFails) {
  EmbeddedFiles files;
  files.RegisterEmbeddedFile("empty", nullptr, 0);
  auto stream = OpenReadStream(files, "incbin::empty");
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->ReadString(0), "");
  EXPECT_FALSE(stream->Failed());
  EXPECT_EQ(stream->ReadByte(), 0);
  EXPECT_TRUE(stream->Failed());
}

TEST(Stream, OpensPlainFiles) {
  const std::string path = ::testing::TempDir() + "stream_test.bin";
  std::ofstream(path, std::ios::binary).write("xyz", 3);
  auto stream = OpenReadStream(EmbeddedFiles(), path);
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->ReadString(3), "xyz");
  std::remove(path.c_str());
}

}  // namespace
