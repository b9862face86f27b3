#include "platform/framework/Dialog.h"

#include "platform/framework/FrameworkIds.h"

#include <QFontMetrics>

namespace {
CDialog::ModalHandler& Handler() {
    static CDialog::ModalHandler handler;
    return handler;
}
// Dialog units per base unit.
constexpr int kDluPerCharX = 4;
constexpr int kDluPerCharY = 8;

int Scale(int units, int base, int perChar) {
    return (units * base + perChar / 2) / perChar;
}
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

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

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

// The average width is taken over the Latin letters, rounded to the nearest pixel.
QSize CDialog::DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((letters / 26 + 1) / 2, metrics.height());
}

QRect CDialog::DluRect(int x, int y, int cx, int cy) const {
    const QSize base = DialogBaseUnits(font());
    return QRect(Scale(x, base.width(), kDluPerCharX), Scale(y, base.height(), kDluPerCharY),
                 Scale(cx, base.width(), kDluPerCharX), Scale(cy, base.height(), kDluPerCharY));
}

QSize CDialog::DluSize(int cx, int cy) const {
    const QSize base = DialogBaseUnits(font());
    return QSize(Scale(cx, base.width(), kDluPerCharX), Scale(cy, base.height(), kDluPerCharY));
}
