// The byte set and folded word searches against plain loops, on random texts long enough
// for the 16-byte blocks to meet every place, start and end.
#include "base/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/test_seed.h"

namespace ferrowyn {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string RandomText(std::mt19937& rng, const std::string& alphabet) {
  std::string text(rng() % 80, ' ');
  for (char& c : text) c = alphabet[rng() % alphabet.size()];
  return text;
}

TEST(ByteScan, FindAndForEachMeetEveryByteOfTheSetInOrder) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(77));
  const std::string alphabet = std::string("abc<>&\r\n\0\xFF", 11);
  const std::vector<std::string> sets = {"<", "\r\n", "<>&", std::string("\0\xFF", 2), "aaaa"};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(rng, alphabet);
    const std::string& set = sets[rng() % sets.size()];
    const ByteFinder finder(set);
    const std::size_t from = rng() % (text.size() + 3);
    std::vector<std::size_t> expected;
    for (std::size_t i = from; i < text.size(); ++i) {
      if (set.find(text[i]) != std::string::npos) expected.push_back(i);
    }
    ASSERT_EQ(finder.Find(text, from), expected.empty() ? text.size() : expected.front()) << round;
    std::vector<std::size_t> visited;
    finder.ForEach(text, from, [&](std::size_t i) {
      visited.push_back(i);
      return true;
    });
    ASSERT_EQ(visited, expected) << round;
    // A visit that gives false ends the walk.
    std::size_t calls = 0;
    finder.ForEach(text, from, [&](std::size_t) { return ++calls < 2; });
    ASSERT_EQ(calls, std::min<std::size_t>(expected.size(), 2)) << round;
  }
}

TEST(ByteScan, FoldedWordIsFoundRegardlessOfTheCaseOfLettersOnly) {
  EXPECT_EQ(FindFoldedWord("xx<ScRiPt", "<script"), 2u);
  EXPECT_EQ(FindFoldedWord("<SCRIPT<script", "<script", 1), 7u);
  // Only ASCII letters fold: "@" is not "`", "[" is not "{".
  EXPECT_EQ(FindFoldedWord("@ab", "`ab"), 3u);
  EXPECT_EQ(FindFoldedWord("a[b", "a{b"), 3u);
  EXPECT_EQ(FindFoldedWord("ab", "abc"), 2u);
  EXPECT_EQ(FindFoldedWord("abc", "abc", 1), 3u);

  std::mt19937 rng(ferrowyn::testing::TestSeed(78));
  const std::string alphabet = "<!-/>sStTyY \xC0\xE0@`";
  const std::vector<std::string> words = {"<!--", "-->", "<style", "</style>", "sty", "@`-"};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(rng, alphabet);
    const std::string& word = words[rng() % words.size()];
    const std::size_t from = rng() % (text.size() + 2);
    std::size_t expected = text.size();
    for (std::size_t i = from; i + word.size() <= text.size() && expected == text.size(); ++i) {
      bool same = true;
      for (std::size_t k = 0; k < word.size(); ++k) same = same && Lower(text[i + k]) == word[k];
      if (same) expected = i;
    }
    ASSERT_EQ(FindFoldedWord(text, word, from), expected) << round << " " << text << " " << word;
  }
}

TEST(ByteScan, PairsAreFoundWholeAndFoldedInOrder) {
  std::mt19937 rng(ferrowyn::testing::TestSeed(79));
  const std::string alphabet = "hHrRfFoOpPaA:\xC8\xE8";
  const PairFinder finder{"hr", "fr", "op", ":a"};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(rng, alphabet);
    const std::size_t from = rng() % (text.size() + 2);
    std::vector<std::size_t> expected;
    for (std::size_t i = from; i + 1 < text.size(); ++i) {
      const std::string pair = {Lower(text[i]), Lower(text[i + 1])};
      if (pair == "hr" || pair == "fr" || pair == "op" || pair == ":a") expected.push_back(i);
    }
    std::vector<std::size_t> visited;
    finder.ForEach(text, from, [&](std::size_t i) {
      visited.push_back(i);
      return visited.size() < 5;
    });
    expected.resize(std::min<std::size_t>(expected.size(), 5));
    ASSERT_EQ(visited, expected) << round << " " << text;
  }
}

}  // namespace
}  // namespace ferrowyn
