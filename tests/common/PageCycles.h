#pragma once

// Pages opened and closed while their first load runs: one page with a walk
// per family, and one cycle of it. The stress tests and the page-close
// benchmark share them.

#include "device/ModelVariants.h"
#include "panel/PageRegistry.h"
#include "snmp/PageBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <memory>
#include <vector>

struct SCyclePage {
    const char* family;
    int command;
};

// A model that has every one of them: NSW-4410-28P B1.
inline const std::vector<SCyclePage>& CyclePages() {
    static const std::vector<SCyclePage> pages = {
        {"switching", 32834},                    // VLAN table
        {"mib2", 32810},                         // forwarding table
        {"agent", 32841},                        // SNMP users
        {"management", 32826},                   // LLDP neighbours
        {"security", 32833},                     // ARP spoofing entries
        {"poe", MenuCommand::kPoePortConfig},    // PoE ports
        {"system", 32849},                       // time profiles
        {"traffic", 32835},                      // static MAC table
    };
    return pages;
}

// Opens the page of the command, lets the event loop turn `turns` times (0:
// closed right after its first request went out), closes and destroys it.
// Returns the close time (close and destruction) in microseconds, -1 when the
// command has no page.
inline qint64 OpenAndClose(int command, int turns) {
    std::unique_ptr<QDialog> page = CreatePage(command, nullptr);
    if (!page)
        return -1;
    page->show();
    for (int i = 0; i < turns; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    QElapsedTimer clock;
    clock.start();
    page->reject();
    page.reset();
    const qint64 us = clock.nsecsElapsed() / 1000;
    // Deferred deletions and late reports of the closed page run now.
    QCoreApplication::processEvents();
    return us;
}
