#include "app/core/JoinCommand.h"

#include <gtest/gtest.h>

namespace {

// The command a join runs after `answer`, or "" when the join is cancelled.
std::string Join(const std::string& typed, const std::string& favorite,
                 EPasswordAnswer answer = EPasswordAnswer::No) {
    auto password = CPasswordChoice(typed, favorite).Password(answer);
    return password ? BuildConnectCommand("10.0.0.5:27960", *password) : "";
}

} // namespace

TEST(JoinCommandTest, CommandTexts) {
    EXPECT_EQ(BuildConnectCommand("10.0.0.5:27960", ""), "connect 10.0.0.5:27960");
    // Blanks and semicolons stay inside the quotes; nothing can leave them to run as a
    // command of its own.
    EXPECT_EQ(BuildConnectCommand("10.0.0.5:27960", "a b;c"),
              "connect \"10.0.0.5:27960\"; password \"a b;c\"");
    EXPECT_EQ(BuildConnectCommand("10.0.0.5:27960", "x\"; quit; \"\rquit\n"),
              "connect \"10.0.0.5:27960\"; password \"x; quit; quit\"");
}

TEST(JoinCommandTest, DifferentPasswordsAskWhichOne) {
    CPasswordChoice choice(" typed ", "fav");
    ASSERT_TRUE(choice.NeedsQuestion());
    EXPECT_EQ(choice.Question(), "Ambiguous passwords! Use the favorite one (fav)?");
    EXPECT_EQ(Join(" typed ", "fav", EPasswordAnswer::Yes),
              "connect \"10.0.0.5:27960\"; password \"fav\"");
    EXPECT_EQ(Join(" typed ", "fav", EPasswordAnswer::No),
              "connect \"10.0.0.5:27960\"; password \"typed\"");
    EXPECT_EQ(Join(" typed ", "fav", EPasswordAnswer::Cancel), "");
    // The comparison is byte for byte: a different case is a different password.
    EXPECT_TRUE(CPasswordChoice("Fav", "fav").NeedsQuestion());
}

TEST(JoinCommandTest, OtherCasesUseTheTypedPasswordWithoutAsking) {
    for (auto [typed, favorite] : {std::pair{"pw", ""}, {"pw", "pw"}, {"  pw\t", "pw"}}) {
        EXPECT_FALSE(CPasswordChoice(typed, favorite).NeedsQuestion()) << typed;
        // Whatever the (unasked) answer, the typed password is used.
        EXPECT_EQ(Join(typed, favorite, EPasswordAnswer::Yes),
                  "connect \"10.0.0.5:27960\"; password \"pw\"");
        EXPECT_EQ(Join(typed, favorite, EPasswordAnswer::Cancel),
                  "connect \"10.0.0.5:27960\"; password \"pw\"");
    }
    // An empty typed password joins without one, even when the favourite has one.
    EXPECT_FALSE(CPasswordChoice("  ", "fav").NeedsQuestion());
    EXPECT_EQ(Join("  ", "fav"), "connect 10.0.0.5:27960");
    EXPECT_EQ(Join("", ""), "connect 10.0.0.5:27960");
}
