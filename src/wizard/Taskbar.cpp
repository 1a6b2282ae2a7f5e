#include "wizard/Taskbar.h"

#include <shobjidl.h>

namespace orv {

namespace {
// Written out here: the import library's copies would tie the program to a newer uuid library.
const CLSID kTaskbarList = {0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
const IID kTaskbarList3 = {0xEA1AFB91, 0x9E28, 0x4B86, {0x90, 0xE9, 0x9E, 0x9F, 0x8A, 0x5E, 0xEF, 0xAF}};
}  // namespace

TTaskbarProgress::TTaskbarProgress(HWND wnd) : wnd_(wnd) {
  void* list = nullptr;
  if (FAILED(CoCreateInstance(kTaskbarList, nullptr, CLSCTX_INPROC_SERVER, kTaskbarList3, &list)) || !list) return;
  list_.Reset(static_cast<ITaskbarList3*>(list));
  if (FAILED(list_->HrInit())) list_.Reset();
}

TTaskbarProgress::~TTaskbarProgress() { Clear(); }

void TTaskbarProgress::SetProgress(int64_t done, int64_t total) {
  if (!list_ || total <= 0) return;
  list_->SetProgressState(wnd_, TBPF_NORMAL);
  list_->SetProgressValue(wnd_, static_cast<ULONGLONG>(done < 0 ? 0 : done), static_cast<ULONGLONG>(total));
}

void TTaskbarProgress::SetError() {
  if (list_) list_->SetProgressState(wnd_, TBPF_ERROR);
}

void TTaskbarProgress::Clear() {
  if (list_) list_->SetProgressState(wnd_, TBPF_NOPROGRESS);
}

}  // namespace orv
