#pragma once

// Drives a modal page while it runs: the tests' stand-in for an operator
// working in a dialog that a click opened.

#include "snmp/PageBase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

// Runs action, which opens a modal page of type T; drive gets it (once its
// first load has been shown and nothing runs, when loads is set) and the page
// is rejected afterwards if still open. False when no such page came up.
template <class T>
bool WithModal(const std::function<void()>& action, const std::function<void(T&)>& drive,
               bool loads = false, int timeoutMs = 20000) {
    bool seen = false;
    QElapsedTimer clock;
    clock.start();
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* page = qobject_cast<T*>(QApplication::activeModalWidget());
        if (page && (!loads || (page->OutcomeSerial() > 0 && !page->IsBusy()))) {
            timer.stop();
            seen = true;
            drive(*page);
            if (page->isVisible())
                page->reject();
        } else if (clock.elapsed() > timeoutMs) {
            timer.stop();
        }
    });
    timer.start();
    action();
    timer.stop();
    return seen;
}
