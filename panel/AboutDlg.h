#pragma once

#include <QDialog>

// The About box of the module: which model it manages and what it is.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(const QString& model, QWidget* parent = nullptr);
};
