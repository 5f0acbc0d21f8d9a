#include "app/program.h"

namespace iconvale {

Program::Program(LifecycleTrace trace) : trace_(std::move(trace)) {
    openGroup_.emplace();
    Trace("build open group");
    scratchPicture_.emplace();
    Trace("build scratch picture");
    fileDialog_.emplace();
    Trace("build file dialog object");
    app_.emplace();
    Trace("build application object");
}

Program::~Program() {
    Release();
}

void Program::Release() {
    if (released_) return;
    released_ = true;
    openGroup_.reset();
    Trace("release open group");
    values.currentPath.clear();
    values.currentPath.shrink_to_fit();
    Trace("free current path");
    scratchPicture_.reset();
    Trace("release scratch picture");
    fileDialog_.reset();
    Trace("release file dialog object");
    app_.reset();
    Trace("release application object");
    values.extractionFolder.clear();
    values.formatIdentifier.clear();
    Trace("free extraction texts");
}

void Program::Trace(const char* event) const {
    if (trace_) trace_(event);
}

}  // namespace iconvale
