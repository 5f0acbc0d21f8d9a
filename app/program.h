// The program-wide objects and values: each exists once per run, is built before the main
// window and is released after it, in the orders below.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/image_group.h"
#include "imaging/gdip_image.h"
#include "ui/app_object.h"
#include "ui/file_dialog_object.h"

namespace iconvale {

// Values shared by the commands. All start at 0 or empty; the settings file fills three of
// them when the main window is created.
struct ProgramValues {
    std::string currentPath;         // file of the open group; empty while untitled
    int modified = 0;                // 1 while the open group has unsaved changes
    int pictureFilterIndex = 0;      // 1-based filter of the picture dialog (settings: 6)
    int groupFilterIndex = 0;        // 1-based filter of the group dialogs (settings: 1)
    int autoSegmentation = 0;        // pictures cut into cells on import (settings: 0)
    int useTransparentColour = 0;    // masked strips on import; set by the new-group dialog
    COLORREF transparentColour = 0;  // the new-group dialog's colour
    std::string extractionFolder;    // the extraction dialog's folder,
    std::string formatIdentifier;    // its chosen picture format,
    int extractionSaved = 0;         // and whether it was closed with its save button
};

class Program {
public:
    // Receives the name of each object as it is built or released; for diagnostics and tests.
    using LifecycleTrace = std::function<void(const char* event)>;

    explicit Program(LifecycleTrace trace = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The shut-down routine: releases the objects in their order. Runs once; later calls and
    // the destructor do nothing more.
    void Release();

    ImageGroup& openGroup() { return Live(openGroup_); }
    GdipImage& scratchPicture() { return Live(scratchPicture_); }
    FileDialogObject& fileDialog() { return Live(fileDialog_); }
    AppObject& app() { return Live(app_); }
    ProgramValues values;

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
    std::optional<ImageGroup> openGroup_;
    std::optional<GdipImage> scratchPicture_;
    std::optional<FileDialogObject> fileDialog_;
    std::optional<AppObject> app_;
    bool released_ = false;
    int usesAfterRelease_ = 0;
};

}  // namespace iconvale
