// Turns each announcement of the document into one refresh of the view: the icon list rebuilt
// and the status bar updated, or only the status bar after a save.
#pragma once

#include <string>

#include "app/document.h"
#include "app/document_view.h"

namespace iconvale {

inline constexpr char kUntitledStatus[] = "未命名图片组";

class DocumentPresenter final : public DocumentListener {
public:
    // Listens to `document` until destroyed; the document and the view must outlive it.
    DocumentPresenter(Document& document, DocumentView& view);
    ~DocumentPresenter();
    DocumentPresenter(const DocumentPresenter&) = delete;
    DocumentPresenter& operator=(const DocumentPresenter&) = delete;

    void OnDocument(DocumentEvent event) override;

private:
    void Attach();

    Document& document_;
    DocumentView& view_;
    // The last pane's text. A new group is labelled untitled until the first edit, which shows
    // its (empty) path; a saved copy of an untitled group keeps what the pane said.
    std::string statusText_;
    // The list last handed to the view: undo, redo and moves put a new list in the group.
    HIMAGELIST attached_ = nullptr;
};

}  // namespace iconvale
