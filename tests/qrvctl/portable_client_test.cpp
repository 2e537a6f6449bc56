// What the client must do alike on Linux and on Windows (this file is also
// built into qrvctl_wine_tests.exe and run under wine): record text through
// code page 936, and files under Chinese names.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "client/file_path.h"
#include "client/profile.h"
#include "client/sdk_link.h"
#include "text/module_text.h"

namespace qrv {
namespace {

struct Conversion {
    const char* from;
    const char* to;
    std::string input;
    std::optional<std::string> exact;  // nothing: refused
    std::string lenient;
};

const Conversion kConversions[] = {
    {"CP936", "UTF-8", "\xB1\xBE\xB5\xD8", "本地", "本地"},
    {"UTF-8", "CP936", "本地", "\xB1\xBE\xB5\xD8", "\xB1\xBE\xB5\xD8"},
    {"UTF-8", "CP936", "Aé", "A\xA8\xA6", "A\xA8\xA6"},
    // Half a character, and a byte that starts none: U+FFFD each.
    {"CP936", "UTF-8", "A\xB1", std::nullopt, "A\xEF\xBF\xBD"},
    {"CP936", "UTF-8", "\xFF" "B", std::nullopt, "\xEF\xBF\xBD" "B"},
    // No GBK form: one '?' per character, never a look-alike.
    {"UTF-8", "CP936", "A😀B", std::nullopt, "A?B"},
    {"UTF-8", "CP936", "A\xC3", std::nullopt, "A?"},
    {"GB18030", "UTF-8", "\xB1\xBE\xB5\xD8", "本地", "本地"},
    {"UTF-8", "UTF-8", "", "", ""},
    {"UTF-8", "NO-SUCH-CODE", "A", std::nullopt, ""},
};

TEST(PortableText, ConversionsTable) {
    for (const Conversion& c : kConversions) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to + ": " + c.input);
        EXPECT_EQ(text::ConvertExact(c.input, c.from, c.to), c.exact);
        EXPECT_EQ(text::ConvertLenient(c.input, c.from, c.to), c.lenient);
    }
    // GB18030's four-byte characters, where the system has that code page
    // (Linux and Windows do; wine does not, and then only its GBK part works).
    if (text::ConvertExact("\x81\x30\x81\x30", "GB18030", "UTF-8")) {
        EXPECT_EQ(text::ConvertExact("😀", "UTF-8", "GB18030"), "\x94\x39\xFC\x36");
        EXPECT_EQ(text::ConvertExact("\x94\x39\xFC\x36", "GB18030", "UTF-8"), "😀");
    }
    EXPECT_EQ(client::WidePath("本地/a.bin"), L"本地/a.bin");
}

TEST(PortableFiles, ProfileUnderAChineseNameIsReplacedWhole) {
    const std::filesystem::path dir = client::Utf8Path(::testing::TempDir() + "配置");
    std::filesystem::create_directories(dir);
    const std::string path = ::testing::TempDir() + "配置/本地 主机.json";
    const client::FieldSpec& name = client::FieldSpecOf(client::FieldId::Name);
    for (const char* value : {"第一", "第二"}) {  // the second save replaces the first
        client::Profile profile;
        profile.Set(name, std::string(value));
        ASSERT_TRUE(client::SaveProfile(path, profile).Ok()) << value;
    }
    client::Profile loaded;
    ASSERT_TRUE(client::LoadProfile(path, loaded).Ok());
    ASSERT_EQ(loaded.fields.size(), 1u);
    EXPECT_EQ(std::get<std::string>(loaded.fields[0].value), "第二");
    EXPECT_FALSE(std::filesystem::exists(client::Utf8Path(path + ".tmp")));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qrv
