// Every registered page and the main window with its polling against
// nsw-sim --hostile (every kind at once) on v1, v2c and v3: nothing crashes
// or hangs, and each page's outcome line tells what came of its load.

#include "PageTestKit.h"
#include "panel/ModuleDlg.h"
#include "panel/PanelDeviceThread.h"
#include "panel/PanelTestKit.h"
#include "snmp/engine/Snmp.h"

#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr const char* kModel = "NSW-4410-28P B1";
// Endless tables are cut here instead of at the engine's 100,000 rows, so
// that three sweeps of every page fit the test's time; the cut itself is
// the engine's (HostileSimTest walks into it).
constexpr size_t kSweepRowLimit = 1500;
// The engine's request time-out with its retry, several requests in a row,
// and the sanitizer's slowness.
constexpr int kPageLimitMs = 30000;

std::vector<int> RegisteredCommands() {
    std::vector<int> commands;
    for (int id = 32768; id < 33280; ++id)
        if (IsPageRegistered(id))
            commands.push_back(id);
    return commands;
}

// Words that claim success; an outcome line of a load never says them.
bool ClaimsAWrite(const QString& line) {
    return line.contains(QStringLiteral("Applied"));
}

class RowLimitScope {
public:
    explicit RowLimitScope(size_t rows) { CSnmpTable::setRowLimit(rows); }
    ~RowLimitScope() { CSnmpTable::setRowLimit(0); }
};

class HostilePages : public CPageTestKit, public ::testing::WithParamInterface<const char*> {};

TEST_P(HostilePages, EveryPageOpensAndTellsItsOutcome) {
    StartSwitch(QString::fromLatin1(kModel), QString::fromLatin1(GetParam()),
                {QStringLiteral("--hostile")});
    RowLimitScope limit(kSweepRowLimit);
    const std::vector<int> commands = RegisteredCommands();
    EXPECT_EQ(commands.size(), 47u);
    int failedLoads = 0;
    for (int id : commands) {
        SCOPED_TRACE(id);
        std::unique_ptr<QDialog> dialog = CreatePage(id, nullptr);
        ASSERT_NE(qobject_cast<CPageBase*>(dialog.get()), nullptr);
        std::unique_ptr<CPageBase> page(static_cast<CPageBase*>(dialog.release()));
        page->show();
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(WaitSettled(*page, 0, kPageLimitMs))
            << "still busy after " << kPageLimitMs << " ms: " << page->OutcomeLine().toStdString();
        const QString line = page->OutcomeLine();
        std::printf("[hostile v%s] %d %lld ms: %s\n", GetParam(), id,
                    static_cast<long long>(clock.elapsed()), qPrintable(line));
        EXPECT_FALSE(line.isEmpty());
        EXPECT_FALSE(ClaimsAWrite(line)) << line.toStdString();
        if (line.contains(QStringLiteral("Not loaded")) || line.contains(QStringLiteral("then ")))
            ++failedLoads;
        page.reset();
        QApplication::processEvents();
    }
    // The switch was hostile to the pages, not merely slow.
    EXPECT_GT(failedLoads, 5);
}

INSTANTIATE_TEST_SUITE_P(Versions, HostilePages, ::testing::Values("1", "2", "3"));

class HostilePanel : public CPageTestKit, public ::testing::WithParamInterface<const char*> {};

TEST_P(HostilePanel, MainWindowPollsAndCloses) {
    StartSwitch(QString::fromLatin1(kModel), QString::fromLatin1(GetParam()),
                {QStringLiteral("--hostile")});
    RowLimitScope limit(kSweepRowLimit);
    CModelFolder folder{QString::fromLatin1(kModel)};
    CModuleDlg::SOptions options;
    options.strProfilePath = folder.ProfilePath();
    auto dlg = std::make_unique<CModuleDlg>(options);
    ASSERT_TRUE(dlg->OnInitDialog());
    dlg->show();
    // A few polling passes on the window's own thread.
    QTest::qWait(2500);
    dlg->UpdateStatusLine();
    std::printf("[hostile v%s] panel: %s\n", GetParam(), qPrintable(dlg->StatusLine()));
    // It answers every request, if not usefully: never "no answer".
    EXPECT_TRUE(dlg->StatusLine().startsWith(m_sim.Address() + QStringLiteral(" answered at ")))
        << dlg->StatusLine().toStdString();
    QElapsedTimer clock;
    clock.start();
    dlg.reset();
    std::printf("[hostile v%s] panel closed in %lld ms\n", GetParam(),
                static_cast<long long>(clock.elapsed()));
}

INSTANTIATE_TEST_SUITE_P(Versions, HostilePanel, ::testing::Values("1", "2", "3"));

} // namespace
