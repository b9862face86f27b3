#pragma once
// Opening and closing play-list windows the way View/Play List and the window's
// close box do, for the benchmarks that time them.
#include "app/CMainFrame.h"
#include "platform/framework/MDIChildWnd.h"
#include "playlist/CListView_Table.h"
#include "res/Resource.h"

#include <QApplication>
#include <QList>

namespace bench {

// The play-list view that View/Play List made, or null.
inline CListView_Table* OpenPlayList(CMainFrame* frame) {
    const QList<CListView_Table*> before = frame->findChildren<CListView_Table*>();
    frame->SendCommand(ID_VIEW_PLAYLIST);
    for (CListView_Table* view : frame->findChildren<CListView_Table*>())
        if (!before.contains(view))
            return view;
    return nullptr;
}

inline void ClosePlayList(CListView_Table* view) {
    view->GetParentFrame()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

} // namespace bench
