// The Public MIB viewers against the simulated switch.

#include "LaunchFixture.h"
#include "SimProcess.h"
#include "pages/mib2/MibPages.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class MibPagesSim : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_sim = new CSimProcess;
        if (!s_sim->Start({QStringLiteral("--model"), QStringLiteral("NSW-4410-28P B1"),
                           QStringLiteral("--fdb"), QStringLiteral("300")}))
            GTEST_FAIL() << s_sim->Output().toStdString();
    }
    static void TearDownTestSuite() {
        delete s_sim;
        s_sim = nullptr;
    }
    void SetUp() override {
        m_launch = std::make_unique<CLaunchFixture>(s_sim->Port(), "2", CSimProcess::kReadCommunity,
                                                    CSimProcess::kWriteCommunity);
    }

    static int SetRequests() {
        return s_sim->Get(QStringLiteral("1.3.6.1.4.1.32473.99.3.4.0"), CSimProcess::kControlCommunity)
            .toInt();
    }

    static CSimProcess* s_sim;
    std::unique_ptr<CLaunchFixture> m_launch;
};
CSimProcess* MibPagesSim::s_sim = nullptr;

template <class Page> void Load(Page& page) {
    QSignalSpy loaded(&page, &Page::Loaded);
    page.show();
    ASSERT_TRUE(loaded.wait(15000));
}

} // namespace

TEST_F(MibPagesSim, TablesFillFromTheSwitch) {
    auto interfaces = MakeInterfaceTablePage();
    Load(*interfaces);
    EXPECT_EQ(interfaces->List()->ItemCount(), 28);
    EXPECT_EQ(interfaces->List()->ItemText(0, 0), QStringLiteral("1"));
    EXPECT_EQ(interfaces->Control<QLabel>(1095)->text(), QStringLiteral("28"));

    // The learned entries, and the switch's own and static ones.
    QString walked;
    s_sim->Tool(QStringLiteral("snmpwalk"), {QStringLiteral("-v2c"), QStringLiteral("-c"),
                                             QStringLiteral("ralvin"), QStringLiteral("-Oqv")},
                {QStringLiteral("1.3.6.1.2.1.17.7.1.2.2.1.3")}, &walked);
    const QStringList statuses = walked.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(statuses.size(), 300);
    const int entries = static_cast<int>(statuses.size());

    CForwardingTablePage fdb;
    Load(fdb);
    EXPECT_EQ(fdb.List()->ItemCount(), entries);
    EXPECT_EQ(fdb.Control<QLabel>(1220)->text(), QStringLiteral(" ") + QString::number(entries));
    EXPECT_FALSE(fdb.AgingTime()->text().isEmpty());
    EXPECT_EQ(fdb.AgingTime()->text(),
              s_sim->Get(QStringLiteral("1.3.6.1.2.1.17.4.2.0")).trimmed());
    // MAC from the index, status mapped, port as received
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^([0-9A-F]{2}-){5}[0-9A-F]{2}$"))
                    .match(fdb.List()->ItemText(0, 0))
                    .hasMatch())
        << fdb.List()->ItemText(0, 0).toStdString();
    for (int r = 0; r < entries; ++r)
        ASSERT_EQ(fdb.List()->ItemText(r, 1), FdbStatusText(statuses[r].trimmed())) << r;

    // The filter keeps the entries of one port only.
    const QString port = fdb.List()->ItemText(0, 2);
    int onPort = 0;
    for (int r = 0; r < fdb.List()->ItemCount(); ++r)
        onPort += fdb.List()->ItemText(r, 2) == port;
    fdb.PortFilter()->setText(port);
    EXPECT_EQ(fdb.List()->model()->rowCount(), onPort);
    EXPECT_EQ(fdb.Control<QLabel>(1220)->text(), QStringLiteral(" ") + QString::number(onPort));
    fdb.PortFilter()->clear();
    EXPECT_EQ(fdb.List()->model()->rowCount(), entries);

    for (auto make : {MakeIpTablePage, MakeTcpServicePage, MakeUdpServicePage}) {
        auto page = make(nullptr);
        QSignalSpy loaded(page.get(), &CMibTablePage::Loaded);
        page->show();
        EXPECT_TRUE(loaded.wait(15000)) << page->windowTitle().toStdString();
    }
}

TEST_F(MibPagesSim, SystemInformationShowsAndWritesBack) {
    CSystemInfoPage page;
    Load(page);
    EXPECT_FALSE(page.Control<QLabel>(1302)->text().isEmpty());
    EXPECT_TRUE(page.Control<QLabel>(1303)->text().startsWith(QStringLiteral("1.3.6.1.4.1.32473")));
    EXPECT_TRUE(page.Control<QLabel>(1304)->text().contains(QStringLiteral(" Hour ")));

    // A UTF-8 name and a location with a blank: the switch holds exactly those bytes.
    page.Control<QLineEdit>(1310)->setText(QString::fromUtf8("C\xc3\xb6re SW-1"));
    page.Control<QLineEdit>(1313)->setText(QStringLiteral("Rack 4"));
    QSignalSpy reloaded(&page, &CSystemInfoPage::Loaded);
    ASSERT_TRUE(page.Apply());
    ASSERT_TRUE(reloaded.wait(15000));
    QString hex;
    s_sim->Tool(QStringLiteral("snmpget"), {QStringLiteral("-v2c"), QStringLiteral("-c"),
                                            QStringLiteral("ralvin"), QStringLiteral("-Oqvx")},
                {QStringLiteral("1.3.6.1.2.1.1.5.0")}, &hex);
    EXPECT_EQ(hex.simplified().remove(u' ').remove(u'"').toLower(),
              QByteArray("C\xc3\xb6re SW-1").toHex());
    EXPECT_EQ(s_sim->Get(QStringLiteral("1.3.6.1.2.1.1.6.0")).remove(u'"').trimmed(),
              QStringLiteral("Rack 4"));
    EXPECT_EQ(page.Control<QLineEdit>(1310)->text(), QString::fromUtf8("C\xc3\xb6re SW-1"));

    // What the page shows after Refresh is the switch's value, not the typed one.
    ASSERT_TRUE(s_sim->Set(QStringLiteral("1.3.6.1.2.1.1.6.0"), QStringLiteral("s"),
                           QStringLiteral("Lab")));
    page.Control<QLineEdit>(1313)->setText(QStringLiteral("typed"));
    page.Control<QPushButton>(103)->click();
    ASSERT_TRUE(reloaded.wait(15000));
    EXPECT_EQ(page.Control<QLineEdit>(1313)->text(), QStringLiteral("Lab"));
}

TEST_F(MibPagesSim, RefusedNamesSendNothing) {
    CSystemInfoPage page;
    Load(page);
    const int setsBefore = SetRequests();
    CMessageRecorder boxes;
    page.Control<QLineEdit>(1310)->setText(QStringLiteral("core.switch"));
    EXPECT_FALSE(page.Apply());
    page.Control<QLineEdit>(1310)->setText(QStringLiteral("core"));
    page.Control<QLineEdit>(1313)->setText(QStringLiteral("rack:4"));
    page.Control<QPushButton>(1145)->click();
    EXPECT_EQ(boxes.Texts(), (QStringList{QStringLiteral("Invalid System Name."),
                                          QStringLiteral("Invalid System Location.")}));
    EXPECT_EQ(SetRequests(), setsBefore);
}

namespace {

// Distinct colours of an image: a page whose texts are drawn has many.
int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

void Snapshot(QWidget& page, const QString& name) {
    const QImage image = page.grab().toImage();
    EXPECT_GT(DistinctColours(image), 20) << name.toStdString() << ": nothing drawn";
    const QString dir = qEnvironmentVariable("NSW_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        image.save(dir + u'/' + name + QStringLiteral(".png"));
}

} // namespace

TEST_F(MibPagesSim, PagesDrawTheirTexts) {
    CSystemInfoPage info;
    Load(info);
    Snapshot(info, QStringLiteral("system-information"));
    CForwardingTablePage fdb;
    Load(fdb);
    Snapshot(fdb, QStringLiteral("forwarding-table"));
    auto interfaces = MakeInterfaceTablePage();
    Load(*interfaces);
    Snapshot(*interfaces, QStringLiteral("interface-table"));
}
