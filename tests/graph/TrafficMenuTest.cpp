// The panel's port menu offscreen: a right-click on a port offers its traffic
// graph, which opens beside the panel for that port and polls; a right-click
// beside the ports offers nothing, and the panel's end closes the windows.

#include "PageTestKit.h"
#include "panel/PanelTestKit.h"

#include "pages/graph/TrafficWindow.h"
#include "panel/ModuleDlg.h"
#include "panel/PanelView.h"
#include "panel/PortWindows.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QTimer>

namespace {

class TrafficMenu : public CPageTestKit {
protected:
    std::unique_ptr<CModuleDlg> OpenPanel(const QString& model) {
        m_folder = std::make_unique<CModelFolder>(model);
        CModuleDlg::SOptions options;
        options.strProfilePath = m_folder->ProfilePath();
        options.bStartPolling = false;
        auto dlg = std::make_unique<CModuleDlg>(options);
        EXPECT_TRUE(dlg->OnInitDialog());
        dlg->show();
        return dlg;
    }

    // A point of the view over the port; null point when none is found.
    static QPoint PointOn(const CPanelView& view, int port) {
        for (int y = 0; y < view.height(); y += 2)
            for (int x = 0; x < view.width(); x += 2)
                if (view.PortAt(QPoint(x, y)) == port)
                    return QPoint(x, y);
        return {};
    }

    // Right-clicks the point; while the menu is open, notes its items and
    // clicks the one that starts with 'choose' (none: the menu is closed).
    QStringList RightClick(CPanelView& view, QPoint point, const QString& choose) {
        QStringList items;
        bool menuSeen = false;
        QTimer::singleShot(200, &view, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            menuSeen = true;
            Shot(*menu, QStringLiteral("port-menu"));
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                items << action->text() + (action->isEnabled() ? "" : " (disabled)");
                if (!choose.isEmpty() && action->text().startsWith(choose))
                    chosen = action;
            }
            if (chosen)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
            else
                menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, view.mapToGlobal(point));
        QApplication::sendEvent(&view, &event);
        QTest::qWait(300);
        if (!menuSeen)
            items.clear();
        return items;
    }

    std::unique_ptr<CModelFolder> m_folder;
};

TEST_F(TrafficMenu, PortMenuOpensTheTrafficWindowOfThatPort) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    ASSERT_TRUE(IsPortTrafficWindowRegistered());
    auto dlg = OpenPanel(QStringLiteral("NSW-4410-28P B1"));
    CPanelView& view = *dlg->View();
    const QPoint point = PointOn(view, 7);
    ASSERT_FALSE(point.isNull());

    const QStringList items = RightClick(view, point, QStringLiteral("&Traffic"));
    EXPECT_EQ(items, (QStringList{QStringLiteral("&Traffic Graph of Port 7"),
                                  QStringLiteral("Port &Configuration")}));
    QPointer<QDialog> window = dlg->PortTrafficWindow(7);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Port 7 traffic"));
    auto* traffic = qobject_cast<CPortTrafficWnd*>(window.data());
    ASSERT_NE(traffic, nullptr);
    EXPECT_EQ(traffic->Port(), 7);
    EXPECT_TRUE(WaitSettled(*traffic, 0));
    EXPECT_GE(traffic->PollsSent(), 1);
    EXPECT_TRUE(traffic->OutcomeLine().contains(QStringLiteral("First reading")))
        << traffic->OutcomeLine().toStdString();

    // The same port again raises the same window; another port gets its own.
    EXPECT_EQ(dlg->OpenPortTraffic(7), window.data());
    RightClick(view, PointOn(view, 8), QStringLiteral("&Traffic"));
    QPointer<QDialog> second = dlg->PortTrafficWindow(8);
    ASSERT_TRUE(second);
    EXPECT_NE(second.data(), window.data());

    // The panel's end takes its traffic windows with it.
    dlg->done(0);
    EXPECT_FALSE(window);
    EXPECT_FALSE(second);
}

TEST_F(TrafficMenu, NoMenuBesideThePortsAndClosedWindowsGo) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"));
    auto dlg = OpenPanel(QStringLiteral("NGX-4410-10P B1"));
    CPanelView& view = *dlg->View();
    EXPECT_TRUE(RightClick(view, QPoint(1, 1), QString()).isEmpty());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    RightClick(view, PointOn(view, 2), QStringLiteral("&Traffic"));
    QPointer<QDialog> window = dlg->PortTrafficWindow(2);
    ASSERT_TRUE(window);
    // Closed by the operator, the window is gone, and the port opens a new one.
    window->close();
    QTest::qWait(50);
    EXPECT_FALSE(window);
    EXPECT_EQ(dlg->PortTrafficWindow(2), nullptr);
    // So is one closed with Escape.
    QPointer<QDialog> again = dlg->OpenPortTraffic(2);
    ASSERT_TRUE(again);
    QTest::keyClick(again.data(), Qt::Key_Escape);
    QTest::qWait(50);
    EXPECT_FALSE(again);
}

TEST_F(TrafficMenu, WithoutARegisteredWindowTheItemIsDisabled) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"));
    RegisterPortTrafficWindow({});
    auto dlg = OpenPanel(QStringLiteral("NGX-4410-10P B1"));
    const QStringList items = RightClick(*dlg->View(), PointOn(*dlg->View(), 3), QString());
    RegisterTrafficWindow();
    ASSERT_FALSE(items.isEmpty());
    EXPECT_TRUE(items.front().endsWith(QStringLiteral("(disabled)")))
        << items.front().toStdString();
    EXPECT_EQ(dlg->PortTrafficWindow(3), nullptr);
}

} // namespace
