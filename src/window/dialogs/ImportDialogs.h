#pragma once

#include "CollectionImport.h"

class QWidget;

namespace kobin {

// Shows an import's progress in a modal dialog whose 中止 stops it.
CollectionImport::ProgressShower importProgressDialog(QWidget *parent);

// Asks for a protected source's password, its characters hidden as typed.
import::PasswordAsker importPasswordDialog(QWidget *parent);

// The import's report in a dialog of its own, long enough to be scrolled and copied.
class ImportReportDialogs : public ImportReportView
{
public:
    explicit ImportReportDialogs(QWidget *parent) : m_parent(parent) {}
    void showReport(const QString &title, const QString &report) override;

private:
    QWidget *m_parent;
};

} // namespace kobin
