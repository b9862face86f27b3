#include "platform/framework/Dialog.h"

#include "platform/framework/FrameworkIds.h"

namespace {
CDialog::ModalHandler& Handler() {
    static CDialog::ModalHandler handler;
    return handler;
}
constexpr double kDluX = 1.5;  // pixels per horizontal dialog unit
constexpr double kDluY = 1.625; // pixels per vertical dialog unit
} // namespace

CDialog::CDialog(QWidget* parent) : QDialog(parent) {}

CDialog::ModalHandler CDialog::SetModalHandler(ModalHandler handler) {
    ModalHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}

int CDialog::DoModal() {
    if (!OnInitDialog())
        return IDCANCEL;
    if (Handler()) {
        Handler()(*this);
        return result() == QDialog::Accepted ? IDOK : IDCANCEL;
    }
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::UpdateData(bool saveAndValidate) {
    DoDataExchange(saveAndValidate);
    return true;
}

void CDialog::DoDataExchange(bool) {}

void CDialog::EndDialog(int result) {
    setResult(result == IDOK ? QDialog::Accepted : QDialog::Rejected);
    if (result == IDOK)
        QDialog::accept();
    else
        QDialog::reject();
}

QRect CDialog::DluRect(int x, int y, int cx, int cy) {
    return QRect(qRound(x * kDluX), qRound(y * kDluY), qRound(cx * kDluX), qRound(cy * kDluY));
}

QSize CDialog::DluSize(int cx, int cy) { return QSize(qRound(cx * kDluX), qRound(cy * kDluY)); }
