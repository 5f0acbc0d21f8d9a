#include "app/document_presenter.h"

namespace iconvale {

DocumentPresenter::DocumentPresenter(Document& document, DocumentView& view)
    : document_(document), view_(view) {
    document_.SetListener(this);
}

DocumentPresenter::~DocumentPresenter() {
    // A later presenter of the same document may have taken over already.
    if (document_.listener() == this) document_.SetListener(nullptr);
}

void DocumentPresenter::OnDocument(DocumentEvent event) {
    view_.ShowUndoState(document_.CanUndo(), document_.CanRedo());
    switch (event) {
        case DocumentEvent::Saved:
            if (!document_.path().empty()) statusText_ = document_.path();
            view_.UpdateStatusBar(statusText_);
            return;
        case DocumentEvent::Changed:
            statusText_ = document_.path();
            if (document_.group().GetHandle() == attached_) {
                view_.UpdateIconList();
                view_.UpdateStatusBar(statusText_);
                return;
            }
            Attach();
            break;
        case DocumentEvent::Created:
            statusText_ = kUntitledStatus;
            Attach();
            break;
        case DocumentEvent::Opened:
        case DocumentEvent::Discarded:
            statusText_ = document_.path();
            Attach();
            break;
    }
    view_.RebuildIconList();
    view_.UpdateStatusBar(statusText_);
}

void DocumentPresenter::Attach() {
    attached_ = document_.group().GetHandle();
    view_.AttachImages(attached_);
}

}  // namespace iconvale
