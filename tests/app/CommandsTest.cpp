#include "Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "CDeviceTable.h"
#include "ComApartment.h"
#include "FileBytes.h"
#include "LPath.h"
#include "ScriptedKeys.h"
#include "StdOutCapture.h"
#include "TempFolder.h"
#include "VirtualClock.h"
#include "device/FakeUSBCDDLL.h"

// The commands that change the bank table, run as the program runs them, over the
// recording library and keys typed by the test.
namespace {
namespace fs = std::filesystem;

struct World {
    std::vector<int32_t> attached;
    std::optional<std::string> table;  // Kavro.xml's bytes, or none
    std::u16string keys;
    bool keyboard = true;
    bool waiting = true;  // whether the keys count as waiting (see ScriptedKeys)
    // What the library does meanwhile, as its own thread would.
    std::function<void()> during;
};

struct Ran {
    int32_t code;
    std::string output;
    std::optional<std::string> table;  // as left, but for its line end
    std::vector<std::string> calls;
};

std::string Table(const std::vector<std::pair<int, int>>& items) {
    std::string text = "<CDLibraryList>";
    for (const auto& [device, bank] : items) {
        text +=
            "<Item ID=\"" + std::to_string(device) + "\" Bank=\"" + std::to_string(bank) + "\"/>";
    }
    return text + "</CDLibraryList>";
}

bool Called(const Ran& ran, const std::string& function) {
    return std::any_of(ran.calls.begin(), ran.calls.end(),
                       [&](const std::string& call) { return call.rfind(function, 0) == 0; });
}

// Whether every LED that went on went off again: the last LED call, if any, is one
// that switches it off.
bool LedsEndOff(const Ran& ran) {
    std::string last;
    for (const std::string& call : ran.calls) {
        if (call.rfind("USBCDLED", 0) == 0) {
            last = call;
        }
    }
    return last.empty() || last.rfind("USBCDLEDOFF", 0) == 0;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.Path().empty());
        fake::Reset();
    }

    Ran Run(const std::vector<std::u16string>& arguments, const World& setup) {
        const fs::path file = folder_.Path() / "Kavro.xml";
        if (setup.table) {
            std::ofstream(file, std::ios::binary) << *setup.table;
        }
        fake::SetDevices(static_cast<int32_t>(setup.attached.size()), setup.attached);
        if (setup.during) {
            setup.during();
        }
        std::vector<const LChar*> argv{u"Kavro"};
        for (const auto& argument : arguments) {
            argv.push_back(argument.c_str());
        }
        LString directory(folder_.Path().u16string().c_str());
        const LChar separator[] = {kPathSeparator, 0};
        directory.Append(separator);

        Ran ran{};
        {
            ScriptedKeys keys(setup.keys, setup.waiting, setup.keyboard);
            VirtualClock clock;
            StdOutCapture capture;
            ran.code =
                RunCommand(ReadCommand(static_cast<int32_t>(argv.size()), argv.data()), directory);
            ran.output = capture.Finish();
        }
        if (fs::exists(file)) {
            std::string bytes = ReadBytes(file);
            bytes.erase(bytes.find_last_not_of("\r\n") + 1);
            ran.table = bytes;
        }
        ran.calls = fake::Calls();
        return ran;
    }

    ComApartment com_;
    TempFolder folder_{"kavro-commands-"};
};

// Leaves only internal number 0 attached, as the library's callback tells.
void UnplugAllButZero() {
    fake::SetDevices(1, {0});
    CDeviceTable::EnumerationCallback(1);
}

TEST_F(Commands, ForgetRemovesOnlyTheBankOfACarouselThatIsGone) {
    const std::string table =
        "<CDLibraryList><Item ID=\"7\" Bank=\"3\"/><Item ID=\"5\" Bank=\"3\"/>"
        "<Item ID=\"0\" Bank=\"1\"/><Item ID=\"\" Bank=\"4\"/></CDLibraryList>";
    struct Case {
        const char16_t* bank;
        std::vector<int32_t> attached;
        std::optional<std::string> before;
        int32_t code;
        std::string output;
        std::optional<std::string> after;
    } cases[] = {
        // Both Items of bank 3 go; the Item that counts for nothing goes as every
        // save drops it, under its place in the file as read.
        {u"3",
         {0},
         table,
         0,
         "Item 4 (ID=\"\" Bank=\"4\") was dropped: its ID holds no digit.\r\n"
         "\r\nBank 3 (internal number 5) was forgotten: Kavro.xml no longer holds it.\r\n",
         Table({{0, 1}})},
        // With no carousel attached at all.
        {u"3",
         {},
         Table({{5, 3}, {0, 1}}),
         0,
         "\r\nBank 3 (internal number 5) was forgotten: Kavro.xml no longer holds it.\r\n",
         Table({{0, 1}})},
        // A carousel that is attached keeps its bank, and so does the file.
        {u"1",
         {0},
         table,
         1,
         "\r\nThe device of bank 1 (internal number 0) is attached: use /renumber 1 to give it "
         "another bank.\r\n",
         table},
        {u"9", {0}, table, 1, "\r\nNo device has bank 9 in Kavro.xml.\r\n", table},
        // No table is ever created.
        {u"3", {0}, std::nullopt, 1, "\r\nNo device has bank 3 in Kavro.xml.\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("bank ") + char(c.bank[0]) + ", " + c.before.value_or("no table"));
        fs::remove(folder_.Path() / "Kavro.xml");
        fake::Reset();
        World setup;
        setup.attached = c.attached;
        setup.table = c.before;
        const Ran ran = Run({u"/forget", c.bank}, setup);
        EXPECT_EQ(ran.code, c.code);
        EXPECT_EQ(ran.output, c.output);
        EXPECT_EQ(ran.table, c.after);
        EXPECT_FALSE(Called(ran, "USBCDLED"));
    }
}

TEST_F(Commands, NumberAsksOnlyForCarouselsWithoutABankAndSelectsNothing) {
    const char kNoKeyboard[] =
        "\r\nThe devices cannot be numbered: there is no keyboard to type their numbers on.\r\n"
        "Please, start Kavro from a console window.\r\n";
    struct Case {
        const char* what;
        std::vector<int32_t> attached;
        std::optional<std::string> before;
        std::u16string keys;
        bool keyboard;
        int32_t code;
        std::string said;  // the output holds it
        std::optional<std::string> after;
    } cases[] = {
        {"a new carousel",
         {0, 1},
         Table({{0, 1}}),
         u"5\r",
         true,
         0,
         "The device (internal number 1) was assigned to the bank 5\r\n",
         Table({{0, 1}, {1, 5}})},
        // Bank 3 is refused (in red, on the console); the key that takes the refusal
        // away is no digit of the next try.
        {"a taken bank",
         {0, 1},
         Table({{0, 3}}),
         u"3\rx4\r",
         true,
         0,
         "The device (internal number 1) was assigned to the bank 4\r\n",
         Table({{0, 3}, {1, 4}})},
        {"nothing new",
         {0},
         Table({{0, 1}}),
         u"",
         true,
         0,
         "\r\nEvery attached device has a bank: Kavro.xml is unchanged.\r\n",
         Table({{0, 1}})},
        {"the first run",
         {0},
         std::nullopt,
         u"2\r",
         true,
         0,
         "Kavro.xml file was created.",
         Table({{0, 2}})},
        {"no keyboard", {0, 1}, Table({{0, 1}}), u"5\r", false, 1, kNoKeyboard, Table({{0, 1}})},
        {"no keyboard, no table", {0}, std::nullopt, u"5\r", false, 1, kNoKeyboard, std::nullopt},
        {"no carousel",
         {},
         Table({{0, 1}}),
         u"5\r",
         true,
         1,
         "\r\nThere are no CD Libraries detected.\r\n",
         Table({{0, 1}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(folder_.Path() / "Kavro.xml");
        fake::Reset();
        World setup;
        setup.attached = c.attached;
        setup.table = c.before;
        setup.keys = c.keys;
        setup.keyboard = c.keyboard;
        const Ran ran = Run({u"/number"}, setup);
        EXPECT_EQ(ran.code, c.code);
        EXPECT_NE(ran.output.find(c.said), std::string::npos) << ran.output;
        EXPECT_EQ(ran.table, c.after);
        EXPECT_FALSE(Called(ran, "USBCDMoveto"));
        EXPECT_TRUE(LedsEndOff(ran));
        // Only a carousel that is asked for is reset to blink.
        EXPECT_EQ(Called(ran, "USBCDReset"), c.keyboard && !c.keys.empty() && c.code == 0);
    }
}

TEST_F(Commands, RenumberEndsAtEscapeOrWhenItsCarouselGoes) {
    const std::string before = Table({{0, 1}, {1, 2}});
    const std::string cancelled =
        "\r\nThe renumbering of bank 2 was cancelled; nothing was saved.\r\n";
    const std::string gone =
        "\r\nThe device of bank 2 (internal number 1) was disconnected; nothing was saved.\r\n";
    struct Case {
        const char* what;
        std::u16string keys;
        std::function<void()> during;
        int32_t code;
        std::string ending;  // the output ends with it
        std::string after;
    } cases[] = {
        {"Escape", u"4\x1b", nullptr, 1, cancelled, before},
        {"Escape while a refusal shows", u"1\r\x1b", nullptr, 1, cancelled, before},
        // The second code of a key without a character may be 27: no Escape.
        {"a key whose second code is 27",
         u"\xE0\x1b"
         u"4\r",
         nullptr, 0, "was assigned to the bank 4\r\n", Table({{0, 1}, {1, 4}})},
        {"unplugged while it asks", u"", [] { fake::AfterCall("USBCDLEDON", 1, UnplugAllButZero); },
         1, gone, before},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        World setup;
        setup.attached = {0, 1};
        setup.table = before;
        setup.keys = c.keys;
        setup.during = c.during;
        setup.waiting = !c.keys.empty();  // no key comes after the unplugging
        const Ran ran = Run({u"/renumber", u"2"}, setup);
        EXPECT_EQ(ran.code, c.code);
        ASSERT_GE(ran.output.size(), c.ending.size()) << ran.output;
        EXPECT_EQ(ran.output.substr(ran.output.size() - c.ending.size()), c.ending);
        EXPECT_NE(ran.output.find("Renumbering the device of bank 2 (internal number 1). Esc "
                                  "cancels.\r\n"),
                  std::string::npos);
        EXPECT_EQ(ran.table, c.after);
        EXPECT_TRUE(Called(ran, "USBCDReset 1"));
        EXPECT_TRUE(LedsEndOff(ran));
    }
}

// An Item that the renumbered one shadowed does not come into effect in its place,
// and every line says why an Item went as the saved table has it.
TEST_F(Commands, RenumberDropsTheItemsItShadowedWithTheReasonOfTheNewTable) {
    struct Case {
        std::vector<std::pair<int, int>> before;
        std::vector<std::string> dropped;
        std::string after;
    } cases[] = {
        {{{3, 2}, {1, 2}},
         {"Item 1 (ID=\"3\" Bank=\"2\") was dropped: a later Item held bank 2 until internal "
          "number 1 left it.\r\n"},
         Table({{1, 5}})},
        {{{1, 2}, {9, 5}, {8, 5}},
         {"Item 2 (ID=\"9\" Bank=\"5\") was dropped: internal number 1 took bank 5.\r\n",
          "Item 3 (ID=\"8\" Bank=\"5\") was dropped: internal number 1 took bank 5.\r\n"},
         Table({{1, 5}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Table(c.before));
        fake::Reset();
        World setup;
        setup.attached = {1};
        setup.table = Table(c.before);
        setup.keys = u"5\r";
        const Ran ran = Run({u"/renumber", u"2"}, setup);
        EXPECT_EQ(ran.code, 0);
        for (const std::string& line : c.dropped) {
            EXPECT_NE(ran.output.find(line), std::string::npos) << ran.output;
        }
        EXPECT_EQ(ran.table, c.after);
    }
}

TEST_F(Commands, VersionStartsNoLibrary) {
    const Ran ran = Run({u"--Version"}, World{});
    EXPECT_EQ(ran.code, 0);
    EXPECT_EQ(ran.output, "Kavro 1.01\r\n");
    EXPECT_EQ(ran.calls, std::vector<std::string>());
}

}  // namespace
