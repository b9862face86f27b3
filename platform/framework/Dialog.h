#pragma once
// Modal dialogs laid out in dialog units, with data exchange between
// controls and members, OK through a handler of the dialog, Cancel closing.
#include <QDialog>
#include <QRect>

#include <functional>

class QFont;

class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(QWidget* parent = nullptr);

    // Runs the dialog modally: OnInitDialog, the modal loop, and the result
    // (IDOK or IDCANCEL). A handler installed for tests answers instead of the loop.
    int DoModal();
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Transfers between controls and members: true saves the controls into the members.
    bool UpdateData(bool saveAndValidate = true);

    // Dialog units to pixels for the dialog's own font: a horizontal unit is a
    // quarter of the font's average character width, a vertical unit an eighth
    // of its height, so a layout in dialog units fits its texts in any font.
    QRect DluRect(int x, int y, int cx, int cy) const;
    QSize DluSize(int cx, int cy) const;
    // The font's average character width and height, in pixels.
    static QSize DialogBaseUnits(const QFont& font);

    using ModalHandler = std::function<void(CDialog&)>;
    static ModalHandler SetModalHandler(ModalHandler handler);

protected:
    virtual void DoDataExchange(bool saveAndValidate);
    void EndDialog(int result);
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }
};
