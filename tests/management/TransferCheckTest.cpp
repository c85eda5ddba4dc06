// The transfer page's checks and its reading of the status object.
#include "pages/management/Transfer.h"

#include <gtest/gtest.h>

TEST(TransferChecks, ServerMustBeACompleteUnicastAddress) {
    const QString invalid = QStringLiteral("Invalid TFTP server IP.");
    EXPECT_EQ(CheckTransferServer(QString(), 0), invalid);
    EXPECT_EQ(CheckTransferServer(QStringLiteral("10.0.0.0"), 3), invalid); // a field left empty
    EXPECT_EQ(CheckTransferServer(QStringLiteral("0.0.0.0"), 4), invalid);
    EXPECT_EQ(CheckTransferServer(QStringLiteral("0.1.2.3"), 4), invalid);
    EXPECT_EQ(CheckTransferServer(QStringLiteral("224.0.0.1"), 4), invalid);
    EXPECT_EQ(CheckTransferServer(QStringLiteral("255.255.255.255"), 4), invalid);
    EXPECT_EQ(CheckTransferServer(QStringLiteral("127.0.0.1"), 4), "");
    EXPECT_EQ(CheckTransferServer(QStringLiteral("223.255.255.254"), 4), "");
}

TEST(TransferChecks, FileNamesStayInsideTheServersFolder) {
    const QString invalid = QStringLiteral("Invalid file.");
    for (const QString& name :
         {QString(), QString(65, u'a'), QStringLiteral("a b.cfg"), QStringLiteral("../up.cfg"),
          QStringLiteral("dir/../../x"), QStringLiteral("dir/"), QStringLiteral("a\\b"),
          QStringLiteral("caf\u00e9.cfg"), QStringLiteral("tab\t.cfg")})
        EXPECT_EQ(CheckTransferFile(name), invalid) << name.toStdString();
    for (const QString& name : {QStringLiteral("nsw.cfg"), QStringLiteral("fw/NSW-4410_1.00.bin"),
                                QStringLiteral("..hidden"), QString(64, u'a')})
        EXPECT_EQ(CheckTransferFile(name), "") << name.toStdString();
}

TEST(TransferChecks, StatusValues) {
    EXPECT_EQ(TransferStatusMeaning(QStringLiteral("0")), ETransferStatus::kGoOn);
    EXPECT_EQ(TransferStatusMeaning(QStringLiteral("1")), ETransferStatus::kGoOn);
    EXPECT_EQ(TransferStatusMeaning(QStringLiteral("2")), ETransferStatus::kSuccess);
    EXPECT_EQ(TransferStatusMeaning(QStringLiteral("3")), ETransferStatus::kFailure);
    EXPECT_EQ(TransferStatusMeaning(QStringLiteral("4")), ETransferStatus::kFailure);
    EXPECT_EQ(TransferStatusMeaning(QStringLiteral("5")), ETransferStatus::kUnknown);
    EXPECT_EQ(TransferStatusMeaning(QString()), ETransferStatus::kUnknown);
}

TEST(TransferChecks, PollsEndBeforeOrWithTheOverallLimit) {
    // The overall limit must not cut a configuration transfer whose polls are
    // all answered: they run out first and say so.
    const STransferTimings config = TransferTimings(false, true);
    EXPECT_LT(config.firstPollMs + (kTransferMaxPolls - 1) * config.pollMs, config.overallMs);
    EXPECT_EQ(TransferTimings(true, true).overallMs, 260000);
    EXPECT_EQ(TransferTimings(true, false).overallMs, 90000);
}
