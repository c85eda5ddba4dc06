#include "app/ModuleApp.h"
#include "device/LaunchSettings.h"
#include "platform/WindowMemory.h"

#include <QApplication>

int main(int argc, char** argv) {
    const QByteArray commandLine = JoinCommandLine(argc, argv);
    // The copy above is all the module reads; others on the machine see stars.
    HideCredentialArguments(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nsw-module"));
    QApplication::setApplicationDisplayName(QStringLiteral("NSW-4410 Device Module"));
    // Pages keep their size and column widths between runs.
    SetWindowMemoryFile(DefaultWindowMemoryFile());
    CModuleApp module(app, commandLine);
    module.InitInstance();
    return 0;
}
