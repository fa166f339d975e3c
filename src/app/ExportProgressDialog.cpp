#include "ExportProgressDialog.h"

#include <QProgressDialog>

namespace kobin {

BookExport::ProgressShower exportProgressDialog(QWidget *parent)
{
    return [parent](const auto &write, int total) {
        QProgressDialog dialog(QStringLiteral("HTMLに書き出しています..."), QStringLiteral("中止"), 0, total, parent);
        dialog.setWindowTitle(QStringLiteral("HTMLに書き出し"));
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(300);
        // A modal progress dialog takes the user's Cancel while its value is set.
        return write([&dialog](int done, int) {
            dialog.setValue(done);
            return !dialog.wasCanceled();
        });
    };
}

} // namespace kobin
