#include "AboutDlg.h"

#include "panel/PanelArt.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(const QString& model, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About ") + model);
    setWindowIcon(ModuleIcon());
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(ModuleIcon().pixmap(48, 48));
    row->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QLabel(this);
    text->setText(QStringLiteral("<b>%1</b><br>Device module for the switches of the NSW-4410/NGX family<br>SNMP v1, v2c and v3")
                      .arg(model.toHtmlEscaped()));
    row->addWidget(text, 1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
