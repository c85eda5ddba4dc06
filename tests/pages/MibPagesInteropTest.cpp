// The MIB-II viewers against Debian's snmpd: the pages list what snmpwalk prints.

#include "LaunchFixture.h"
#include "SnmpdProcess.h"
#include "pages/mib2/MibPages.h"
#include "platform/ListControl.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

class MibPagesInterop : public ::testing::TestWithParam<bool> {
protected:
    static void SetUpTestSuite() {
        s_agent = new CSnmpdProcess;
        if (!s_agent->Start())
            GTEST_FAIL() << s_agent->Error().toStdString();
    }
    static void TearDownTestSuite() {
        delete s_agent;
        s_agent = nullptr;
    }

    void SetUp() override {
        const auto& user = CSnmpdProcess::kDesUser;
        if (GetParam())
            m_launch = std::make_unique<CLaunchFixture>(s_agent->Port(), user.name, user.level,
                                                        user.authCode, user.authPassword,
                                                        user.privCode, user.privPassword);
        else
            m_launch = std::make_unique<CLaunchFixture>(s_agent->Port(), "2",
                                                        CSnmpdProcess::kReadCommunity,
                                                        CSnmpdProcess::kWriteCommunity);
    }

    // The values of one column as snmpwalk prints them (numeric, values only).
    static QStringList Walk(const QString& column) {
        const QByteArray out = s_agent->RunTool(
            QStringLiteral("snmpwalk"),
            CSnmpdProcess::CommunityArgs("2c", CSnmpdProcess::kReadCommunity) +
                QStringList{QStringLiteral("-Oqve"), QStringLiteral("-On")},
            {column});
        QStringList values;
        for (const QByteArray& line : out.split('\n'))
            if (!line.trimmed().isEmpty() && !line.contains("No Such"))
                values.append(QString::fromUtf8(line.trimmed()).remove(u'"'));
        return values;
    }

    // Rows expected from the columns' walks, mapped as the page maps them.
    using Expect = std::function<std::vector<QStringList>()>;

    static std::vector<QStringList> Listed(CMibTablePage& page) {
        std::vector<QStringList> rows;
        for (int r = 0; r < page.List()->ItemCount(); ++r) {
            QStringList row;
            for (int c = 0; c < page.List()->Model()->columnCount(); ++c)
                row.append(page.List()->ItemText(r, c));
            rows.push_back(row);
        }
        return rows;
    }

    // Connection tables move: the page must match a walk taken just before or after it.
    static void ExpectPageMatches(CMibTablePage& page, const Expect& expect) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const auto before = expect();
            QSignalSpy loaded(&page, &CMibTablePage::Loaded);
            page.Refresh();
            ASSERT_TRUE(loaded.wait(15000));
            const auto listed = Listed(page);
            if (listed == before || listed == expect())
                return;
        }
        ADD_FAILURE() << "the page never listed what snmpwalk printed";
    }

    static CSnmpdProcess* s_agent;
    std::unique_ptr<CLaunchFixture> m_launch;
};

CSnmpdProcess* MibPagesInterop::s_agent = nullptr;

std::vector<QStringList> Zip(const std::vector<QStringList>& columns) {
    std::vector<QStringList> rows;
    if (columns.empty())
        return rows;
    for (int r = 0; r < columns[0].size(); ++r) {
        QStringList row;
        for (const QStringList& column : columns)
            row.append(column.value(r));
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST_P(MibPagesInterop, InterfaceAndIpTables) {
    auto interfaces = MakeInterfaceTablePage();
    ExpectPageMatches(*interfaces, [] {
        QStringList status = Walk("1.3.6.1.2.1.2.2.1.8");
        QStringList speed = Walk("1.3.6.1.2.1.2.2.1.5");
        for (QString& s : status)
            s = LinkStatusText(s);
        for (QString& s : speed)
            s = SpeedText(s);
        return Zip({Walk("1.3.6.1.2.1.2.2.1.1"), status, speed});
    });
    EXPECT_GT(interfaces->List()->ItemCount(), 0); // loopback at least

    auto ip = MakeIpTablePage();
    EXPECT_EQ(ip->windowTitle(), QStringLiteral("IP Table : 127.0.0.1"));
    ExpectPageMatches(*ip, [] { return Zip({Walk("1.3.6.1.2.1.4.20.1.1"), Walk("1.3.6.1.2.1.4.20.1.3")}); });
    EXPECT_GT(ip->List()->ItemCount(), 0);
}

TEST_P(MibPagesInterop, TcpAndUdpServices) {
    auto tcp = MakeTcpServicePage();
    ExpectPageMatches(*tcp, [] {
        QStringList state = Walk("1.3.6.1.2.1.6.13.1.1");
        for (QString& s : state)
            s = TcpStateText(s);
        return Zip({Walk("1.3.6.1.2.1.6.13.1.3"), Walk("1.3.6.1.2.1.6.13.1.2"),
                    Walk("1.3.6.1.2.1.6.13.1.4"), Walk("1.3.6.1.2.1.6.13.1.5"), state});
    });
    auto udp = MakeUdpServicePage();
    ExpectPageMatches(*udp, [] { return Zip({Walk("1.3.6.1.2.1.7.5.1.2"), Walk("1.3.6.1.2.1.7.5.1.1")}); });
    // snmpd itself listens on a UDP port of loopback
    EXPECT_GT(udp->List()->ItemCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Versions, MibPagesInterop, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "v3AuthPriv" : "v2c"; });
