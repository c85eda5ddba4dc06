// With a dark desktop palette every page and the main window keep their text
// readable: no widget brings colours of its own that vanish on dark, and the
// outcome line and the lists draw light text on their dark backgrounds.
#include "Looks.h"
#include "PageTestKit.h"
#include "panel/ModuleDlg.h"
#include "platform/ListControl.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>

namespace {

constexpr double kReadable = 4.5; // WCAG AA for body text

// The colour pairs a widget draws its text with, by what it is.
QString UnreadablePairs(const QWidget& widget) {
    struct SPair {
        QPalette::ColorRole text, background;
    };
    std::vector<SPair> pairs{{widget.foregroundRole(), widget.backgroundRole()}};
    if (qobject_cast<const QAbstractItemView*>(&widget) || qobject_cast<const QLineEdit*>(&widget)) {
        pairs.push_back({QPalette::Text, QPalette::Base});
        pairs.push_back({QPalette::Text, QPalette::AlternateBase});
        pairs.push_back({QPalette::HighlightedText, QPalette::Highlight});
    }
    if (qobject_cast<const QAbstractButton*>(&widget) || qobject_cast<const QHeaderView*>(&widget))
        pairs.push_back({QPalette::ButtonText, QPalette::Button});
    QStringList faults;
    const QPalette& palette = widget.palette();
    for (const SPair& pair : pairs) {
        const double contrast =
            Contrast(palette.color(QPalette::Active, pair.text), palette.color(QPalette::Active, pair.background));
        if (contrast < kReadable)
            faults << QStringLiteral("%1 on %2: %3")
                          .arg(pair.text)
                          .arg(pair.background)
                          .arg(contrast, 0, 'f', 1);
    }
    if (!widget.styleSheet().isEmpty())
        faults << QStringLiteral("style sheet ") + widget.styleSheet();
    return faults.join(QStringLiteral("; "));
}

void ExpectReadable(QWidget& window, const QString& what) {
    window.ensurePolished();
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* widget : widgets) {
        widget->ensurePolished();
        const QString faults = UnreadablePairs(*widget);
        EXPECT_TRUE(faults.isEmpty()) << what.toStdString() << ": "
                                      << widget->metaObject()->className() << " "
                                      << widget->property(kControlIdProperty).toInt() << ": "
                                      << faults.toStdString();
    }
}

// Pixels of the area that stand out from its background as text does.
int TextPixels(const QImage& image, const QRect& area, const QColor& background) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += Contrast(image.pixelColor(x, y), background) >= kReadable;
    return count;
}

class DarkLooks : public CPageTestKit {};

} // namespace

TEST_F(DarkLooks, NoPageNorTheMainWindowBringsColoursThatVanishOnDark) {
    CDarkDesktop dark;
    ASSERT_NO_FATAL_FAILURE(UseAgent(1, QStringLiteral("NSW-4410-28P B1")));
    int pages = 0;
    for (int command = 32768; command < 33280; ++command) {
        if (!IsPageRegistered(command))
            continue;
        std::unique_ptr<QDialog> page = CreatePage(command, nullptr);
        ASSERT_TRUE(page) << command;
        ExpectReadable(*page, QStringLiteral("command %1").arg(command));
        ++pages;
    }
    EXPECT_GE(pages, 47);
    CModuleDlg::SOptions options;
    options.bStartPolling = false;
    CModuleDlg main(options);
    ExpectReadable(main, QStringLiteral("main window"));
}

TEST_F(DarkLooks, OutcomeLineAndListDrawLightTextOnDark) {
    CDarkDesktop dark;
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    auto page = OpenPage(32809); // Interface Table
    ASSERT_TRUE(page);
    auto* list = page->findChild<CListControl*>();
    ASSERT_NE(list, nullptr);
    ASSERT_GT(list->ItemCount(), 2);
    QWidget* line = page->Control(kIdOutcomeLine);
    ASSERT_NE(line, nullptr);
    ASSERT_FALSE(page->OutcomeLine().isEmpty());

    const QImage image = page->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const auto onImage = [&](QWidget* widget, const QRect& rect) {
        const QRect logical(widget->mapTo(page.get(), rect.topLeft()), rect.size());
        return QRect((logical.topLeft() * ratio), logical.size() * ratio);
    };
    const QPalette palette = DarkPalette();
    // the backgrounds stay dark ...
    const QRect lineArea = onImage(line, line->rect().adjusted(2, 2, -2, -2));
    EXPECT_LT(Contrast(image.pixelColor(lineArea.topLeft()), palette.color(QPalette::Window)), 1.3);
    const QRect rowArea = onImage(list->viewport(), list->visualRect(list->model()->index(1, 0))
                                                          .united(list->visualRect(list->model()->index(1, 1))));
    const QColor rowBackground = image.pixelColor(rowArea.topLeft() + QPoint(1, 1));
    EXPECT_LT(std::min(Contrast(rowBackground, palette.color(QPalette::Base)),
                       Contrast(rowBackground, palette.color(QPalette::AlternateBase))),
              1.3)
        << "row drawn on " << rowBackground.name().toStdString();
    // ... and the text on them stands out
    EXPECT_GT(TextPixels(image, lineArea, palette.color(QPalette::Window)), 40 * ratio * ratio);
    EXPECT_GT(TextPixels(image, rowArea, rowBackground), 20 * ratio * ratio);
    const QRect filterArea = onImage(list->FilterEdit(), list->FilterEdit()->rect());
    EXPECT_GT(TextPixels(image, filterArea, palette.color(QPalette::Base)), 5 * ratio * ratio)
        << "the filter's placeholder";
}
