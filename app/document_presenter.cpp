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
    switch (event) {
        case DocumentEvent::Saved:
            if (!document_.path().empty()) statusText_ = document_.path();
            view_.UpdateStatusBar(statusText_);
            return;
        case DocumentEvent::Changed:
            statusText_ = document_.path();
            break;
        case DocumentEvent::Created:
            statusText_ = kUntitledStatus;
            view_.AttachImages(document_.group().GetHandle());
            break;
        case DocumentEvent::Opened:
        case DocumentEvent::Discarded:
            statusText_ = document_.path();
            view_.AttachImages(document_.group().GetHandle());
            break;
    }
    view_.RebuildIconList();
    view_.UpdateStatusBar(statusText_);
}

}  // namespace iconvale
