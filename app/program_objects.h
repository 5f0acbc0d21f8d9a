// The program-wide objects: each exists once per run, is built before the main window and is
// released after it, in the orders below.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "app/document.h"
#include "app/session_choices.h"
#include "imaging/gdip_image.h"
#include "ui/file_dialog_object.h"
#include "ui/platform_setup.h"

namespace iconvale {

class ProgramObjects {
public:
    // Receives the name of each object as it is built or released; for diagnostics and tests.
    using LifecycleTrace = std::function<void(const char* event)>;

    explicit ProgramObjects(LifecycleTrace trace = {});
    ~ProgramObjects();
    ProgramObjects(const ProgramObjects&) = delete;
    ProgramObjects& operator=(const ProgramObjects&) = delete;

    // The shut-down routine: releases the objects in their order. Runs once; later calls and
    // the destructor do nothing more.
    void Release();

    Document& document() { return Live(document_); }
    GdipImage& scratchPicture() { return Live(scratchPicture_); }
    FileDialogObject& fileDialog() { return Live(fileDialog_); }
    PlatformSetup& platform() { return Live(platform_); }
    // Start empty; the settings file fills three of them when the main window is created.
    SessionChoices choices;

    // How often an object was asked for after the shut-down routine; a fault in the shut-down
    // order. Such a use gets a new empty object (traced "used after release"), not freed memory.
    int usesAfterRelease() const { return usesAfterRelease_; }

private:
    void Trace(const char* event) const;
    template <typename T>
    T& Live(std::optional<T>& object) {
        if (!object) {
            ++usesAfterRelease_;
            Trace("used after release");
            object.emplace();
        }
        return *object;
    }

    LifecycleTrace trace_;
    std::optional<Document> document_;
    std::optional<GdipImage> scratchPicture_;
    std::optional<FileDialogObject> fileDialog_;
    std::optional<PlatformSetup> platform_;
    bool released_ = false;
    int usesAfterRelease_ = 0;
};

}  // namespace iconvale
