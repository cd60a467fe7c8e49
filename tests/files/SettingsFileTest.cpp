#include "files/SettingsFile.h"
#include "session/SettingsSave.h"

#include "link/Clock.h"
#include "link/DataFolder.h"
#include "session/FormatStore.h"
#include "session/Session.h"
#include "support/RecordingDialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace msrw;

namespace {

using Lines = std::vector<std::string>;

const Lines kDefaultFile = {"0", "0",  "61", "22", "0", "1",  "0", "0", "0", "1",
                            "2", "31", "2",  "1",  "5", "15", "2", "1", "5", "15",
                            "1", "0",  "0",  "1",  "0", "0",  "1", "0", "0", "111"};

class SettingsFileTest : public ::testing::Test {
protected:
    QByteArray fileBytes() const {
        QFile f(data.path(kSettingsFile));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFile(const QByteArray& bytes) const {
        QFile f(data.path(kSettingsFile));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    Lines savedLines(const MainWindowSettings& main) {
        QString error;
        EXPECT_TRUE(SaveSetting(data, format, main, error)) << error.toStdString();
        return data.readLines(kSettingsFile).value_or(Lines{});
    }

    QTemporaryDir dir;
    DataFolder data{dir.path()};
    FormatStore format;
};

SettingsRecord Filled(int value) {
    SettingsRecord r;
    r.entry.fill(value);
    return r;
}

Lines FirstLines(const QByteArray& bytes, int count) {
    Lines lines;
    for (qsizetype start = 0; start < bytes.size() && int(lines.size()) < count;) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end;
        lines.push_back(bytes.mid(start, end - start).toStdString());
        if (!lines.back().empty() && lines.back().back() == '\r')
            lines.back().pop_back();
        start = end + 1;
    }
    return lines;
}

QByteArray Joined(const Lines& lines) {
    QByteArray bytes;
    for (const std::string& line : lines)
        bytes += QByteArray::fromStdString(line) + "\r\n";
    return bytes;
}

TEST(ParseSettingLine, AcceptsSixteenBitDecimalsOnly) {
    const std::vector<std::pair<std::string, std::optional<int>>> cases = {
        {"61", 61},    {"  31 ", 31}, {"\t7\t", 7},     {"-1", -1},
        {"+5", 5},     {"007", 7},    {"32767", 32767}, {"-32768", -32768},
        {"32768", {}}, {"70000", {}}, {"-32769", {}},   {"99999999999999", {}},
        {"", {}},      {"   ", {}},   {"abc", {}},      {"12abc", {}},
        {"1.5", {}},   {"1 2", {}},   {"-", {}},        {"Comm3", {}},
        {"--1", {}},   {"+-1", {}},   {"0x10", {}},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(ParseSettingLine(line), expected) << '"' << line << '"';
}

TEST_F(SettingsFileTest, MissingFileIsCreatedWithTheDefaults) {
    SettingsRecord record = Filled(-9);
    const LoadReport report = LoadSetting(data, record);
    EXPECT_TRUE(report.createdDefaults);
    EXPECT_TRUE(report.error.isEmpty());
    EXPECT_EQ(fileBytes(), Joined(kDefaultFile));
    for (std::size_t i = 0; i < kSettingsEntries; ++i)
        EXPECT_EQ(std::to_string(record[i]), kDefaultFile[i]) << "entry " << i;

    // The file now exists and reads back as the same record.
    SettingsRecord again = Filled(-9);
    const LoadReport second = LoadSetting(data, again);
    EXPECT_FALSE(second.createdDefaults);
    EXPECT_EQ(second.entriesRead, 30);
    EXPECT_EQ(again.entry, record.entry);
}

TEST_F(SettingsFileTest, DefaultsStillApplyWhenTheFileCannotBeCreated) {
    QFile blocker(dir.filePath("file-not-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const DataFolder unusable(blocker.fileName());
    SettingsRecord record = Filled(-9);
    const LoadReport report = LoadSetting(unusable, record);
    EXPECT_TRUE(report.createdDefaults);
    EXPECT_FALSE(report.error.isEmpty());
    EXPECT_EQ(record.entry, DefaultSettingsRecord().entry);
}

// Each entry that does not convert takes its default (nothing else is lost);
// a damaged file is kept as ".bad" and repaired, so the damage is told once.
TEST_F(SettingsFileTest, EntriesThatDoNotLoadTakeTheirDefaultsAndTheDamagedFileIsKept) {
    struct Case {
        const char* what;
        QByteArray bytes;
        std::vector<int> bad; // 0-based entries that do not convert
        int firstDamagedLine;
    };
    Lines numbered;
    for (int i = 0; i < 30; ++i)
        numbered.push_back(std::to_string(100 + i));
    const auto with = [&](std::size_t index, const std::string& line) {
        Lines l = numbered;
        l[index] = line;
        return Joined(l);
    };
    std::vector<int> all(30);
    for (int i = 0; i < 30; ++i)
        all[std::size_t(i)] = i;
    std::vector<int> allButSecond = all; // only "9600" of a port record is a number
    allButSecond.erase(allButSecond.begin() + 1);
    const Lines first29(numbered.begin(), numbered.begin() + 29);
    Lines longer = numbered;
    longer.push_back("555");
    const std::vector<Case> cases = {
        {"complete", Joined(numbered), {}, 0},
        {"29 lines", Joined(first29), {29}, 30},
        {"no final line end", Joined(numbered).chopped(2), {}, 0},
        {"a line after the record", Joined(longer), {}, 31},
        {"2 MiB of blank lines after the record",
         Joined(numbered) + QByteArray(2 << 20, '\n'),
         {},
         31},
        {"line 1 of 1 MiB", with(0, std::string(kMaxLineFileBytes, 'x')), {0}, 1},
        {"letters on line 5", with(4, "abc"), {4}, 5},
        {"empty line 12", with(11, ""), {11}, 12},
        {"16-bit overflow on line 3", with(2, "70000"), {2}, 3},
        {"spaces and signs kept", with(0, "  -3 "), {}, 0},
        {"last line bad", with(29, "x"), {29}, 30},
        {"port record", "Comm3\r\n9600\r\nS,7,1\r\nOrmond Mode\r\n", allButSecond, 1},
        {"empty file", "", all, 1},
        {"binary", QByteArray("\x00\xff\x01\x80", 4), all, 1},
        {"LF only line ends", Joined(numbered).replace("\r\n", "\n"), {}, 0},
    };
    const SettingsRecord defaults = DefaultSettingsRecord();
    const QString badPath = data.path(kSettingsFile) + ".bad";
    for (const Case& c : cases) {
        QFile::remove(badPath);
        writeFile(c.bytes);
        const Lines original = FirstLines(c.bytes, 30);
        SettingsRecord record = Filled(-9);
        const LoadReport report = LoadSetting(data, record);
        EXPECT_EQ(report.entriesRead, 30 - int(c.bad.size())) << c.what;
        EXPECT_EQ(report.firstDamagedLine, c.firstDamagedLine) << c.what;
        EXPECT_FALSE(report.createdDefaults) << c.what;
        EXPECT_TRUE(report.error.isEmpty()) << c.what;
        for (std::size_t i = 0; i < kSettingsEntries; ++i) {
            const bool bad = std::find(c.bad.begin(), c.bad.end(), int(i)) != c.bad.end();
            const int expected = bad ? defaults[i] : *ParseSettingLine(original[i]);
            EXPECT_EQ(record[i], expected) << c.what << ", entry " << i;
        }
        QFile kept(badPath);
        EXPECT_EQ(kept.exists(), c.firstDamagedLine != 0) << c.what;
        if (c.firstDamagedLine == 0)
            continue;
        EXPECT_NE(report.damageNotice.indexOf("line " + QString::number(c.firstDamagedLine)), -1)
            << c.what;
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), c.bytes) << c.what; // kept as it was
        SettingsRecord again = Filled(-9);
        const LoadReport second = LoadSetting(data, again); // repaired: nothing to tell
        EXPECT_EQ(second.firstDamagedLine, 0) << c.what;
        EXPECT_TRUE(second.damageNotice.isEmpty()) << c.what;
        EXPECT_EQ(again.entry, record.entry) << c.what;
    }
}

TEST_F(SettingsFileTest, DefaultStoreSavesListsWithASignSpaceAndBoxesAsTyped) {
    const Lines expected = {"0",  " 0",  "61", "22", " 0", " 1",  " 0", " 0", " 0", " 1",
                            " 2", " 31", " 2", " 1", " 5", " 15", " 2", " 1", " 5", " 15",
                            " 1", " 0",  " 0", " 1", " 0", " 0",  " 1", " 0", " 0", "111"};
    EXPECT_EQ(savedLines({}), expected);
    EXPECT_TRUE(fileBytes().endsWith("\r\n111\r\n"));
}

TEST_F(SettingsFileTest, PortCardTypeCheckBoxAndBoxLines) {
    struct Case {
        MainWindowSettings main;
        bool hico;
        std::string leadz210;
        std::string port, cardType, hicoLine;
    };
    const std::vector<Case> cases = {
        {{3, true, 2}, true, "045", "3", " 2", " 1"},
        {{0, true, 4}, false, "61", "0", " 4", " 0"},
        {{10, false, 3}, false, " 70", "10", " 0", " 0"}, // list disabled: " 0"
        {{1, true, -1}, true, "0", "1", "-1", " 1"},      // nothing selected
    };
    for (const Case& c : cases) {
        format.chkhico = c.hico;
        format.txt210Leadz = c.leadz210;
        const Lines lines = savedLines(c.main);
        ASSERT_EQ(lines.size(), 30u);
        EXPECT_EQ(lines[0], c.port);
        EXPECT_EQ(lines[1], c.cardType);
        EXPECT_EQ(lines[2], c.leadz210);
        EXPECT_EQ(lines[7], c.hicoLine);
    }
}

TEST_F(SettingsFileTest, SavedSettingsComeBackThroughLoadAndApply) {
    format.txt210Leadz = "70";
    format.txt75Leadz = "30";
    format.txt210Leadz_Pb = "90";
    format.bpi[0].select(1);
    format.chkhico = true;
    format.clickBpc(2, 1); // 6 bits: 7/6-bit lists
    format.user[1].ss.select(20);
    format.user[1].es.select(0);
    format.clickParity(3, 2);
    format.passBook[2].syncZeros.select(2);
    format.passBook[0].es.select(1);
    QString error;
    ASSERT_TRUE(SaveSetting(data, format, {5, true, 3}, error));

    SettingsRecord record;
    ASSERT_EQ(LoadSetting(data, record).entriesRead, 30);
    EXPECT_EQ(record[kEntryPort], 5);
    EXPECT_EQ(record[kEntryCardType], 3);
    FormatStore reloaded;
    reloaded.apply(record);
    EXPECT_EQ(reloaded.txt210Leadz, "70");
    EXPECT_EQ(reloaded.txt75Leadz, "30");
    EXPECT_EQ(reloaded.txt210Leadz_Pb, "90");
    EXPECT_TRUE(reloaded.chkhico);
    for (std::size_t entry = kEntryFirstBpi; entry < kEntryLeadz210Pb; ++entry) {
        if (const ListControl* list = format.listForEntry(entry)) {
            EXPECT_EQ(reloaded.listForEntry(entry)->text(), list->text()) << "entry " << entry;
        }
    }
    EXPECT_EQ(reloaded.user[1].es.text(), "~");
}

TEST_F(SettingsFileTest, BoxThatWouldNotLoadBackIsRefusedAndTheFileKept) {
    writeFile(Joined(kDefaultFile));
    const std::vector<std::pair<std::string FormatStore::*, std::string>> cases = {
        {&FormatStore::txt210Leadz, ""},
        {&FormatStore::txt75Leadz, "2 2"},
        {&FormatStore::txt210Leadz_Pb, "70000"},
        {&FormatStore::txt210Leadz, "61\r\n0"}, // would add a line
    };
    for (const auto& [box, text] : cases) {
        FormatStore store;
        store.*box = text;
        QString error;
        EXPECT_FALSE(SaveSetting(data, store, {}, error)) << text;
        EXPECT_TRUE(error.contains("not saved")) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromStdString(text))) << error.toStdString();
        EXPECT_EQ(fileBytes(), Joined(kDefaultFile));
    }
}

TEST_F(SettingsFileTest, FailedWriteLeavesTheOldFileWhole) {
    writeFile(Joined(kDefaultFile));
    format.txt210Leadz = "99";
    // Files may not grow past a few bytes: the new file cannot be written,
    // even by root.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    QString error;
    const bool saved_ok = SaveSetting(data, format, {3, true, 1}, error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileBytes(), Joined(kDefaultFile));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"VelkMsrw.cfg"}); // no leftovers
}

TEST(MainWindowSettingsOf, ReadsThePortMenuAndTheCardTypeList) {
    MainView view;
    view.cardTypes.items = {"ISO", "AAMVA", "USER"};
    view.cardTypes.selected = 2;
    view.portMenu.checkOnly(3);
    view.portMenu.openChecked = true;
    MainWindowSettings main = MainWindowSettingsOf(view);
    EXPECT_EQ(main.openPort, 3);
    EXPECT_TRUE(main.cardTypeEnabled);
    EXPECT_EQ(main.cardTypePosition, 2);

    view.portMenu.checkOnly(10);
    EXPECT_EQ(MainWindowSettingsOf(view).openPort, 10);
    view.portMenu.closeChecked = true; // closed: the checked item no longer counts
    EXPECT_EQ(MainWindowSettingsOf(view).openPort, 0);
    view.portMenu.closeChecked = false;
    view.portMenu.openChecked = false;
    EXPECT_EQ(MainWindowSettingsOf(view).openPort, 0);
    view.enable(Control::cboCardType, false);
    EXPECT_FALSE(MainWindowSettingsOf(view).cardTypeEnabled);
}

TEST_F(SettingsFileTest, SessionSaveTellsTheOperatorWhenItFails) {
    PortDirectory ports;
    test::RecordingDialogs dialogs;
    RecordingClock clock;
    Session session(ports, dialogs, clock, data);
    session.view.portMenu.checkOnly(3);
    session.view.portMenu.openChecked = true;
    EXPECT_TRUE(SaveSetting(session));
    EXPECT_EQ(data.readLines(kSettingsFile).value_or(Lines{}).at(0), "3");
    EXPECT_TRUE(dialogs.messages.empty());

    session.format.txt75Leadz = "";
    EXPECT_FALSE(SaveSetting(session));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("75 BPI"), std::string::npos);
}

} // namespace

TEST(SettingsRecordDefaults, TheDefaultFormatIsJudgedOnItsOwnEntries) {
    struct Case {
        std::size_t entry;
        bool withoutPassBook; // still default when only this entry changed
        bool withPassBook;
    };
    // clang-format off
    const Case cases[] = {
        {kEntryLeadz210, false, false}, {kEntryLeadz75, false, false},
        {EntryBpi(1), false, false},    {EntryBpi(3), false, false},
        {EntryPassBook(2, kPassBookSyncZerosField), true, false},
        {kEntryLeadz210Pb, true, false},
        {EntryUser(1, 0), true, true},  {kEntryHiCo, true, true}, {kEntryPort, true, true},
    };
    // clang-format on
    const SettingsRecord defaults = DefaultSettingsRecord();
    EXPECT_TRUE(IsDefaultFormat(defaults, false));
    EXPECT_TRUE(IsDefaultFormat(defaults, true));
    for (const Case& c : cases) {
        SettingsRecord changed = defaults;
        changed[c.entry] += 3;
        EXPECT_EQ(IsDefaultFormat(changed, false), c.withoutPassBook) << c.entry;
        EXPECT_EQ(IsDefaultFormat(changed, true), c.withPassBook) << c.entry;
    }
}
