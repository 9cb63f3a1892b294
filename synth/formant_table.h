#pragma once
// Coefficients of the vowel filter: five vowel positions, each an input gain followed by
// ten feedback coefficients on the remembered outputs, newest first. Built once at
// start-up and only read afterwards.

#include <array>

struct FormantTable {
  static constexpr int kRows = 5;
  static constexpr int kColumns = 11;
  std::array<std::array<double, kColumns>, kRows> rows{};
};

FormantTable BuildFormantTable();
