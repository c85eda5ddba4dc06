// Pictures of the switching pages for a look by eye; runs only when
// NSW_SCREENSHOT_DIR names a folder, best under xvfb-run where fonts render
// as on a desktop:
//   NSW_SCREENSHOT_DIR=/tmp/shots xvfb-run -a -s "-screen 0 1280x1024x24"
//   env QT_QPA_PLATFORM=xcb build/bin/switching_tests --gtest_filter='*Screenshots*'
#include "SimPage.h"
#include "pages/switching/PortConfig.h"
#include "pages/switching/Trunk.h"
#include "pages/switching/Vlan.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>

namespace {

class Screenshots : public CSimPageTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        m_dir = qEnvironmentVariable("NSW_SCREENSHOT_DIR");
        if (m_dir.isEmpty())
            GTEST_SKIP() << "NSW_SCREENSHOT_DIR not set";
        QDir().mkpath(m_dir);
        StartSwitch(QString::fromLatin1(GetParam()));
    }

    // Saves the window and checks that it shows text (dark pixels).
    void Save(QWidget& window, const QString& name) {
        QApplication::processEvents();
        const QImage image = window.grab().toImage();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 80;
        EXPECT_GT(dark, 200) << name.toStdString();
        const QString file = QStringLiteral("%1/%2-%3.png")
                                 .arg(m_dir, QString::fromLatin1(GetParam()).remove(u' '), name);
        EXPECT_TRUE(image.save(file)) << file.toStdString();
    }

    template <class Page> void Shoot(Page& page, const QString& name) {
        QSignalSpy loaded(&page, &Page::Loaded);
        page.show();
        EXPECT_TRUE(WaitFor(loaded));
        Save(page, name);
    }

    QString m_dir;
};

} // namespace

TEST_P(Screenshots, SwitchingPages) {
    // something to show in each list
    const QString vlan = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.");
    Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.2.0"), "i", "1");
    Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.1"), "x", "30000000");
    Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.3.1"), "i", "1");
    Set(vlan + "1.20", "s", QString::fromUtf8("Kameras Süd"));
    Set(vlan + "2.20", "x", "3f000000");
    Set(vlan + "4.20", "x", "0f000000");
    Set(vlan + "5.20", "i", "1");
    {
        CPortSetInfo page(nullptr, 3);
        Shoot(page, "port-configuration");
    }
    {
        CTrunkPage page;
        Shoot(page, "trunk-configuration");
    }
    {
        CTrunkMemberDlg window(1, "LACP", "3,4");
        QSignalSpy loaded(&window, &CTrunkMemberDlg::Loaded);
        window.show();
        EXPECT_TRUE(WaitFor(loaded));
        Save(window, "trunk-member");
    }
    {
        CVlanPage page;
        Shoot(page, "vlan-configuration");
    }
    {
        CVlanEditDlg editor(0, {1});
        editor.VidEdit()->setText("20");
        editor.NameEdit()->setText(QString::fromUtf8("Büro"));
        editor.SetMembership(1, kUntagged);
        editor.SetMembership(2, kTagged);
        Shoot(editor, "vlan-editor");
    }
    {
        CPvidPage page;
        Shoot(page, "pvid");
    }
}

INSTANTIATE_TEST_SUITE_P(Models, Screenshots, ::testing::Values("NSW-4410-28P", "NSW-4410-52 B1"));
