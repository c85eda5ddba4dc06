// Pictures of the main window and some pages, light and dark, for a look by
// eye at any scale; runs only when NSW_SCREENSHOT_DIR names a folder
// (scripts/screenshots --looks takes them at 200 % under Xvfb).
#include "Looks.h"
#include "PageTestKit.h"
#include "panel/ModuleDlg.h"
#include "panel/PanelTestKit.h"
#include "platform/ListControl.h"

#include <QImage>
#include <QScreen>

namespace {

class LooksScreenshots : public CPageTestKit, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        CPageTestKit::SetUp();
        m_dir = qEnvironmentVariable("NSW_SCREENSHOT_DIR");
        if (m_dir.isEmpty())
            GTEST_SKIP() << "NSW_SCREENSHOT_DIR not set";
        QDir().mkpath(m_dir);
        if (GetParam())
            m_dark = std::make_unique<CDarkDesktop>();
    }
    void TearDown() override {
        m_dark.reset();
        CPageTestKit::TearDown();
    }

    // Saves the window at the screen's pixel ratio and checks that it shows
    // text in the colour the palette gives it.
    void Save(QWidget& window, const QString& name) {
        QApplication::processEvents();
        const QImage image = window.grab().toImage();
        const qreal ratio = window.devicePixelRatioF();
        EXPECT_EQ(image.size(), window.size() * ratio) << name.toStdString();
        const QColor text = window.palette().color(QPalette::WindowText);
        int inText = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inText += Contrast(image.pixelColor(x, y), text) < 1.5;
        EXPECT_GT(inText, 200 * ratio * ratio) << name.toStdString();
        const QString file = QStringLiteral("%1/%2-%3.png")
                                 .arg(m_dir, name, GetParam() ? QStringLiteral("dark")
                                                              : QStringLiteral("light"));
        EXPECT_TRUE(image.save(file)) << file.toStdString();
    }

    QString m_dir;
    std::unique_ptr<CDarkDesktop> m_dark;
};

} // namespace

TEST_P(LooksScreenshots, PanelAndPages) {
    const QString model = QStringLiteral("NSW-4410-28P B1");
    StartSwitch(model, QStringLiteral("2"), {QStringLiteral("--fdb"), QStringLiteral("200")});
    {
        CModelFolder folder(model);
        CModuleDlg::SOptions options;
        options.strProfilePath = folder.ProfilePath();
        CModuleDlg main(options);
        ASSERT_TRUE(main.OnInitDialog());
        main.show();
        QTRY_VERIFY_WITH_TIMEOUT(main.State().Passes() > 0, 10000);
        QTest::qWait(CPanelPainter::kBlinkTicks * 200 + 400); // past the first blinking
        Save(main, QStringLiteral("panel"));
        main.done(QDialog::Accepted);
    }
    const std::pair<int, const char*> pages[] = {
        {32834, "vlan"},          {32774, "port-configuration"}, {32810, "forwarding-table"},
        {32844, "communities"},   {32826, "lldp-neighbours"},   {32864, "storm-control"},
        {32805, "system-information"}};
    for (const auto& [command, name] : pages) {
        auto page = OpenPage(command, command == 32774 ? 5 : 0);
        ASSERT_TRUE(page) << name;
        if (command == 32810)
            page->findChild<CListControl*>()->FilterEdit()->setText(QStringLiteral("0A"));
        Save(*page, QString::fromLatin1(name));
        page->reject();
    }
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, LooksScreenshots, ::testing::Bool(),
                         [](const auto& info) {
                             return std::string(info.param ? "Dark" : "Light");
                         });
