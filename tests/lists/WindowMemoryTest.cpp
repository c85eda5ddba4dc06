// Pages keep their size and the column widths of their lists between runs,
// per page, in a settings file that tests point at a folder of their own;
// what is missing, damaged or too big for the screen is not taken as it is.
#include "PageTestKit.h"
#include "platform/ListControl.h"
#include "platform/WindowMemory.h"

#include <QFile>
#include <QHeaderView>
#include <QScreen>
#include <QTemporaryDir>

namespace {

constexpr int kVlanCommand = 32834;
constexpr int kVlanList = 1341;
constexpr int kInterfaceCommand = 32809;
constexpr int kInterfaceList = 1088;

// The memory in a folder of the test's own, off again afterwards.
class CScratchMemory {
public:
    CScratchMemory() { SetWindowMemoryFile(m_dir.filePath(QStringLiteral("windows.conf"))); }
    ~CScratchMemory() { SetWindowMemoryFile(QString()); }
    CScratchMemory(const CScratchMemory&) = delete;
    CScratchMemory& operator=(const CScratchMemory&) = delete;

    bool Write(const QByteArray& content) const {
        QFile file(WindowMemoryFile());
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(content) == content.size();
    }
    QByteArray Read() const {
        QFile file(WindowMemoryFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

QList<int> Widths(CPageBase& page, int listId) {
    QList<int> widths;
    if (auto* list = page.Control<CListControl>(listId))
        for (int c = 0; c < list->horizontalHeader()->count(); ++c)
            widths << list->columnWidth(c);
    return widths;
}

class PageMemory : public CPageTestKit {
protected:
    // Size and widths of a page opened with nothing remembered.
    void Defaults(int command, int listId) {
        SetWindowMemoryFile(QString());
        auto page = OpenPage(command);
        ASSERT_TRUE(page);
        m_defaultSize = page->size();
        m_defaultWidths = Widths(*page, listId);
        page->reject();
    }
    QSize m_defaultSize;
    QList<int> m_defaultWidths;
};

} // namespace

TEST(WindowMemoryValues, SizesAreCheckedAndFittedToTheScreen) {
    const QSize minimum(300, 200), screen(1280, 1000);
    EXPECT_EQ(FitStoredSize(QStringList{"640", "480"}, minimum, screen), QSize(640, 480));
    EXPECT_EQ(FitStoredSize(QStringList{"100", "480"}, minimum, screen), QSize(300, 480));
    EXPECT_EQ(FitStoredSize(QStringList{"9000", "7000"}, minimum, screen), screen);
    EXPECT_EQ(FitStoredSize(QStringList{"640", "480"}, minimum, QSize()), QSize(640, 480));
    for (const QVariant& damaged :
         {QVariant(), QVariant(QStringLiteral("banana")), QVariant(QStringList{"640"}),
          QVariant(QStringList{"640", "x"}), QVariant(QStringList{"-640", "480"}),
          QVariant(QStringList{"640", "0"}), QVariant(QStringList{"1", "2", "3"}),
          QVariant(QStringList{"99999999999", "480"})})
        EXPECT_FALSE(FitStoredSize(damaged, minimum, screen).isValid()) << damaged.toString().toStdString();
}

TEST(WindowMemoryValues, WidthsMustBeOnePerColumnAndAreBounded) {
    EXPECT_EQ(FitStoredWidths(QStringList{"80", "120", "60"}, 3, 20, 1280),
              (QList<int>{80, 120, 60}));
    EXPECT_EQ(FitStoredWidths(QStringList{"0", "90000", " 60 "}, 3, 20, 1280),
              (QList<int>{20, 1280, 60}));
    EXPECT_TRUE(FitStoredWidths(QStringList{"80", "120"}, 3, 20, 1280).isEmpty());
    EXPECT_TRUE(FitStoredWidths(QStringList{"80", "wide", "60"}, 3, 20, 1280).isEmpty());
    EXPECT_TRUE(FitStoredWidths(QStringList{"80", "-5", "60"}, 3, 20, 1280).isEmpty());
    EXPECT_TRUE(FitStoredWidths(QVariant(), 3, 20, 1280).isEmpty());
    EXPECT_TRUE(FitStoredWidths(QStringList{}, 0, 20, 1280).isEmpty());
}

TEST(WindowMemoryValues, TheFileLiesUnderTheUsersConfigurationFolder) {
    QTemporaryDir home;
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    EXPECT_EQ(DefaultWindowMemoryFile(), home.path() + QStringLiteral("/nsw-module/windows.conf"));
    if (before.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", before);
    // off until the program names the file
    EXPECT_TRUE(WindowMemoryFile().isEmpty());
}

TEST_F(PageMemory, SizeAndColumnWidthsComeBackPerPage) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    Defaults(kVlanCommand, kVlanList);
    ASSERT_EQ(m_defaultWidths.size(), 5);
    CScratchMemory memory;
    const QSize size = m_defaultSize - QSize(40, 30);
    {
        auto page = OpenPage(kVlanCommand);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->size(), m_defaultSize); // nothing remembered yet
        page->resize(size);
        auto* list = page->Control<CListControl>(kVlanList);
        list->setColumnWidth(1, 173);
        list->setColumnWidth(4, 61);
        page->reject();
    }
    {
        auto page = OpenPage(kVlanCommand);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->size(), size);
        QList<int> widths = m_defaultWidths;
        widths[1] = 173;
        widths[4] = 61;
        EXPECT_EQ(Widths(*page, kVlanList), widths);
        page->reject();
    }
    // another page keeps its own
    auto other = OpenPage(kInterfaceCommand);
    ASSERT_TRUE(other);
    EXPECT_NE(Widths(*other, kInterfaceList).value(1), 173);
    EXPECT_NE(other->size(), size);
    EXPECT_TRUE(memory.Read().contains("[page-32834]")) << memory.Read().toStdString();
}

TEST_F(PageMemory, ListsFittedToTheirTextsKeepRememberedWidths) {
    constexpr int kLldpRemoteCommand = 32826;
    constexpr int kLldpRemoteList = 1099;
    StartSwitch(QStringLiteral("NSW-4410-28P B1"), QStringLiteral("2"),
                {QStringLiteral("--lldp-neighbours"), QStringLiteral("7")});
    Defaults(kLldpRemoteCommand, kLldpRemoteList);
    ASSERT_EQ(m_defaultWidths.size(), 9);
    CScratchMemory memory;
    {
        auto page = OpenPage(kLldpRemoteCommand);
        ASSERT_TRUE(page);
        EXPECT_EQ(Widths(*page, kLldpRemoteList), m_defaultWidths); // fitted, nothing remembered
        page->Control<CListControl>(kLldpRemoteList)->setColumnWidth(3, 57);
        page->reject();
    }
    auto page = OpenPage(kLldpRemoteCommand);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->Control<CListControl>(kLldpRemoteList)->ItemCount(), 7);
    QList<int> widths = m_defaultWidths;
    widths[3] = 57;
    EXPECT_EQ(Widths(*page, kLldpRemoteList), widths);
}

TEST_F(PageMemory, DamagedOrOversizedValuesAreNotTaken) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    Defaults(kVlanCommand, kVlanList);
    CScratchMemory memory;
    const QList<QByteArray> damaged = {
        "[page-32834]\nsize=banana, -3\nlist1341\\columns=80, x, 100, 1, 2\n",
        "[page-32834]\nsize=@Size(640 480)\nlist1341\\columns=80, 90\n",
        "[page-32834\nsize=\"640\nlist1341\\columns=\n\xff\xfe\x00garbage",
        QByteArray("\x00\x01\x02\x03\xff", 5),
    };
    for (const QByteArray& content : damaged) {
        ASSERT_TRUE(memory.Write(content));
        auto page = OpenPage(kVlanCommand);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->size(), m_defaultSize) << content.toStdString();
        EXPECT_EQ(Widths(*page, kVlanList), m_defaultWidths) << content.toStdString();
        // closing writes good values over the damage
        const QSize size = m_defaultSize - QSize(20, 10);
        page->resize(size);
        page->reject();
        auto again = OpenPage(kVlanCommand);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->size(), size) << content.toStdString();
        again->reject();
    }

    // more than the screen holds: the screen's size; widths within it
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    ASSERT_TRUE(memory.Write("[page-32834]\nsize=20000, 15000\n"
                             "list1341\\columns=2, 90000, 80, 80, 80\n"));
    auto page = OpenPage(kVlanCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->size(), screen.boundedTo(page->maximumSize()));
    const QList<int> widths = Widths(*page, kVlanList);
    ASSERT_EQ(widths.size(), 5);
    auto* header = page->Control<CListControl>(kVlanList)->horizontalHeader();
    EXPECT_EQ(widths[0], header->minimumSectionSize());
    EXPECT_EQ(widths[1], screen.width());
    EXPECT_EQ(widths[2], 80);
}
