#include "app/program_objects.h"

namespace iconvale {

ProgramObjects::ProgramObjects(LifecycleTrace trace) : trace_(std::move(trace)) {
    document_.emplace();
    Trace("build open group");
    scratchPicture_.emplace();
    Trace("build scratch picture");
    fileDialog_.emplace();
    Trace("build file dialog object");
    platform_.emplace();
    Trace("build platform set-up");
}

ProgramObjects::~ProgramObjects() {
    Release();
}

void ProgramObjects::Release() {
    if (released_) return;
    released_ = true;
    // The document's group and its path go together.
    document_.reset();
    Trace("release open group");
    Trace("free current path");
    scratchPicture_.reset();
    Trace("release scratch picture");
    fileDialog_.reset();
    Trace("release file dialog object");
    platform_.reset();
    Trace("release platform set-up");
    choices.extractionFolder.clear();
    choices.formatIdentifier.clear();
    Trace("free extraction texts");
}

void ProgramObjects::Trace(const char* event) const {
    if (trace_) trace_(event);
}

}  // namespace iconvale
