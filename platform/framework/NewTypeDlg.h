#pragma once
// The new-document type dialog: the document templates by name, in their
// order; the answer is the position of the chosen line, since names may repeat.
#include "platform/framework/Dialog.h"

#include <QStringList>

class QListWidget;

class CNewTypeDlg : public CDialog {
    Q_OBJECT
public:
    explicit CNewTypeDlg(const QStringList& names, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    QListWidget* TypeList() const { return m_pList; }

    // The chosen line's position; -1 until OK.
    int m_nChoice = -1;

private:
    QListWidget* m_pList;
};
