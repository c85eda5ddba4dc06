// The engine learned by discovery, reused against Debian's snmpd: for users
// of every level and protocol, and by sessions of several threads at once.

#include "EngineTestKit.h"
#include "UdpRelay.h"

#include "snmp/CommonSNMP.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

const char* const kSysName = "1.3.6.1.2.1.1.5.0";

int GetSysName() {
    CCommonSNMP session;
    if (!session.Open(CCommonSNMP::kGet))
        return -100;
    session.AddVarBind(QLatin1String(kSysName), SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    return session.Send(answer);
}

using EngineCacheAgentTest = CAgentTest;

TEST_F(EngineCacheAgentTest, EveryUserSendsOneDatagramPerRequestOnceDiscovered) {
    CUdpRelay relay(Port());
    ASSERT_NE(relay.Port(), 0);
    const CSnmpdProcess::User* users[] = {
        &CSnmpdProcess::kNoAuthUser, &CSnmpdProcess::kMd5User, &CSnmpdProcess::kShaUser,
        &CSnmpdProcess::kDesUser,    &CSnmpdProcess::kAesUser, &CSnmpdProcess::kSha256AesUser};
    for (const CSnmpdProcess::User* user : users) {
        SCOPED_TRACE(user->name);
        UseUser(*user, relay.Port());
        const unsigned long before = relay.Forwarded();
        ASSERT_EQ(GetSysName(), 0);
        EXPECT_GE(relay.Forwarded() - before, 2u) << "a new user discovers";
        for (int i = 0; i < 3; ++i) {
            const unsigned long sent = relay.Forwarded();
            ASSERT_EQ(GetSysName(), 0);
            EXPECT_EQ(relay.Forwarded() - sent, 1u) << "request " << i + 2;
        }
    }
}

TEST_F(EngineCacheAgentTest, SessionsOfSeveralThreadsShareTheEngine) {
    CUdpRelay relay(Port());
    ASSERT_NE(relay.Port(), 0);
    const CSnmpdProcess::User& user = CSnmpdProcess::kAesUser; // MD5 + AES
    const int kThreads = 4;
    const int kRequests = 10;
    std::atomic<int> failures{0};
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < kRequests; ++i) {
                    CSnmpV3 request;
                    request.setUserName(user.name);
                    request.setMsgFlags(3);
                    request.setAuthArith(SnmpAuthArith::kMd5);
                    request.setAuthPwd(user.authPassword, std::strlen(user.authPassword));
                    request.setPriArith(SnmpPrivArith::kAes128);
                    request.setPriPwd(user.privPassword, std::strlen(user.privPassword));
                    request.setPort(relay.Port());
                    request.setType(SnmpKind::kGet);
                    request.addValue(kSysName, SnmpType::kNull, nullptr);
                    std::unique_ptr<CSnmp> answer;
                    if (request.send("127.0.0.1", answer, 3000) != SnmpResult::kOk)
                        ++failures;
                }
            });
    }
    EXPECT_EQ(failures.load(), 0);
    // At most each thread's first request can find the engine not yet known.
    EXPECT_LE(relay.Forwarded(), unsigned(kThreads * kRequests + kThreads));
}

} // namespace
