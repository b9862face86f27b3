// The play list's selection saved as a play-list file.
#include "playlist/CListView_Table.h"

#include "platform/framework/MessageBox.h"
#include "platform/listctrl/ListCtrl.h"
#include "playlist/PlayListCells.h"
#include "playlist/PlayListFiles.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

CListView_Table::SaveFileChooser& SaveFileChooserSlot() {
    static CListView_Table::SaveFileChooser chooser;
    return chooser;
}

QString AskForFile(QWidget* owner, const QString& folder) {
    if (SaveFileChooserSlot())
        return SaveFileChooserSlot()(folder);
    QFileDialog dialog(owner, QStringLiteral("Save selection as"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(QStringLiteral("Play lists (*.m3u8)"));
    dialog.setDefaultSuffix(QStringLiteral("m3u8"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

} // namespace

CListView_Table::SaveFileChooser CListView_Table::SetSaveFileChooser(SaveFileChooser chooser) {
    SaveFileChooser old = std::move(SaveFileChooserSlot());
    SaveFileChooserSlot() = std::move(chooser);
    return old;
}

void CListView_Table::OnSaveSelection() {
    std::vector<playlist::PlayListEntry> entries;
    for (int line = m_pList->GetNextItem(-1, LVNI_SELECTED); line >= 0;
         line = m_pList->GetNextItem(line, LVNI_SELECTED)) {
        const QString name = m_pList->GetItemTextView(line, playlist::ColName).toString();
        const QString path =
            playlist::LinePath(m_pList->GetItemTextView(line, playlist::ColDirectory), name);
        entries.push_back({QFileInfo(path).absoluteFilePath(), QFileInfo(name).completeBaseName()});
    }
    if (entries.empty()) {
        AfxMessageBox(QStringLiteral("Please select the File(s) to save."), MB_OK);
        return;
    }
    const QString file = AskForFile(this, QFileInfo(entries.front().path).absolutePath());
    if (file.isEmpty())
        return;
    QString fault;
    if (!playlist::WriteM3u8(file, entries, &fault))
        AfxMessageBox(QStringLiteral("Cannot save %1: %2").arg(file, fault),
                      MB_OK | MB_ICONEXCLAMATION);
}
