// The strict check against Qt's parser, which reads what the check lets
// through: on many small edits of a real file, whatever the check takes Qt
// parses too, and whatever it refuses it says in printable ASCII.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <random>
#include <string>

#include "ReaderModel.h"
#include "config/ConfigFile.h"
#include "config/StrictJson.h"

namespace {

TEST(StrictJson, WhatTheCheckTakesQtParsesAndEveryRefusalIsPrintable) {
    const Configuration c = DecodeConfiguration(ReaderModel::DefaultConfig());
    const ConfigBlock block = ReaderModel::DefaultConfig();
    const std::string file = WriteConfigFile(c.settings, c.codes, &block);
    // The bytes an edit puts in: JSON's own, escapes' letters and digits,
    // controls, a NUL and bytes of UTF-8 and not.
    const std::string pieces = std::string("{}[]:,\"\\ \t\n\r0123456789.eE+-uabfnrt/\x01\x1b\x7f") +
                               std::string(1, '\0') + "\xc3\xa9\xed\xa0\x80\xf4\x90\xff";
    std::mt19937 random(20240611);
    int taken = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text = file;
        const int edits = 1 + static_cast<int>(random() % 3);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % text.size();
            const char piece = pieces[random() % pieces.size()];
            switch (random() % 3) {
                case 0:
                    text[at] = piece;
                    break;
                case 1:
                    text.insert(at, 1, piece);
                    break;
                default:
                    text.erase(at, 1);
                    break;
            }
        }
        const JsonCheck check = CheckStrictJson(text);
        if (check.ok) {
            ++taken;
            QJsonParseError error{};
            QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
            ReadConfigFile(text);
        } else {
            for (const char ch : check.problem) {
                ASSERT_TRUE(ch >= 0x20 && ch < 0x7f) << check.problem;
            }
        }
    }
    // Both sides are exercised: many edits land in a string or a blank.
    EXPECT_GT(taken, 1000);
    EXPECT_LT(taken, 19000);
}

}  // namespace
