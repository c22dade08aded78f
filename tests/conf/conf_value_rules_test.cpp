#include "conf/conf_model.h"
#include "conf/conf_value_rules.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace korvane {
namespace {

using namespace std::string_literals;

// Whatever sets a value (typing, a paste, a preset, a load) goes through setText: a one-line field
// never takes a control character, and its line stays one line.
TEST(ConfValueRulesTest, OneLineFieldsRefuseControlCharactersAndKeepTheirValue)
{
    ConfModel model;
    std::vector<std::pair<Key, std::string>> refusals;
    model.setRefusalListener([&](Key key, const std::string& character) { refusals.emplace_back(key, character); });
    model.setText(Key::RpcPassword, "pw");

    const std::pair<std::string, std::string> refused[] = {
        { "pw\nrpcallowip=0.0.0.0/0", "a line break (LF)" },
        { "pw\r", "a carriage return (CR)" },
        { "p\0w"s, "a NUL character" },
        { "p\tw", "a tab" },
        { "p\x1B[2Jw", "control character 0x1B" },
        { "p\x7Fw", "control character 0x7F" },
    };
    for (const auto& [value, character] : refused) {
        refusals.clear();
        model.setText(Key::RpcPassword, value);
        EXPECT_EQ(model.text(Key::RpcPassword), "pw") << character;
        ASSERT_EQ(refusals.size(), 1u) << character;
        EXPECT_EQ(refusals[0], std::make_pair(Key::RpcPassword, character));
    }
    EXPECT_EQ(model.render().find("rpcallowip=0.0.0.0/0"), std::string::npos);

    refusals.clear();
    model.setText(Key::CryptoName, "BTC\r\nrpcallowip=0.0.0.0/0");
    model.setText(Key::WalletFile, "w\n");
    EXPECT_EQ(refusals.size(), 2u) << "the crypto name gives the header line";
    model.setText(Key::UserDefinedSettings, "addnode=a\r\naddnode=b");
    model.setText(Key::WalletFile, "w\xE9.dat \xFF");
    EXPECT_EQ(refusals.size(), 2u) << "text boxes hold lines; bytes that are not UTF-8 are no control characters";
    EXPECT_EQ(model.text(Key::WalletFile), "w\xE9.dat \xFF");

    EXPECT_EQ(oneLineRefusalMessage("RPC Password", "a line break (LF)"),
              "RPC Password: a value holding a line break (LF) was refused, as this field gives exactly one line of "
              "the .conf file; it keeps its value.");
}

TEST(ConfValueRulesTest, StoredLineBreaksBecomeCrLfAndEveryOtherByteIsKept)
{
    EXPECT_EQ(withConfLineBreaks("a\nb\r\nc\rd\xE9\n"), "a\r\nb\r\nc\r\nd\xE9\r\n");
    EXPECT_EQ(withConfLineBreaks(""), "");
    EXPECT_TRUE(isOneLineConfField(Key::RpcAuth));
    EXPECT_FALSE(isOneLineConfField(Key::FullNodeList));
    EXPECT_FALSE(isOneLineConfField(Key::ServerTick));
    EXPECT_FALSE(isOneLineConfField(Key::BlockchainHome)) << "not a generator field";
}

} // namespace
} // namespace korvane
