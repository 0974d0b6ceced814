#include "win32/print_device_win32.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string_view>

#include "base/run_error.h"
#include "win32/program_text.h"
#include "win32/system_text.h"

namespace hx {

namespace {

RunError PrinterError(const std::string& what) {
  return RunError(err::kPrinterError, what + ": " + LastSystemError());
}

const DEVMODEW* Settings(const std::vector<unsigned char>& devmode) {
  return devmode.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(devmode.data());
}

}  // namespace

// The job's device context and font.  Program text goes to the system through
// the wide-character calls, converted from the device's code page.
struct Win32PrintDevice::Job {
  Job(const std::string& name, const std::wstring& printer, const DEVMODEW* settings,
      const std::string& font_name, double font_points, const CodePage& code_page) {
    dc = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, settings);
    if (dc == nullptr) throw PrinterError("the printer could not be opened");
    const std::wstring doc_name = WideFromProgramText(name, code_page);
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = doc_name.c_str();
    if (StartDocW(dc, &doc) <= 0) {
      const RunError error = PrinterError("the print job could not be started");
      DeleteDC(dc);
      dc = nullptr;
      throw error;
    }
    // From here on a failure aborts the job begun; the destructor of an
    // object whose constructor fails does not run.
    try {
      const int height =
          static_cast<int>(std::lround(font_points * GetDeviceCaps(dc, LOGPIXELSY) / 72));
      font = CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE,
                         WideFromProgramText(font_name, code_page).c_str());
      if (font == nullptr) throw PrinterError("the font could not be made");
      page_width = GetDeviceCaps(dc, HORZRES);
      page_height = GetDeviceCaps(dc, VERTRES);
      StartPage();
      TEXTMETRICW metrics{};
      if (!GetTextMetricsW(dc, &metrics)) throw PrinterError("the font could not be measured");
      line_height = metrics.tmHeight + metrics.tmExternalLeading;
    } catch (...) {
      Release();
      throw;
    }
  }
  ~Job() { Release(); }
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  // Only a job that failed half-way is still open here: nothing of it goes
  // to paper.
  void Release() {
    if (dc != nullptr) {
      AbortDoc(dc);
      DeleteDC(dc);
      dc = nullptr;
    }
    if (font != nullptr) DeleteObject(font);
    font = nullptr;
  }

  void StartPage() {
    if (::StartPage(dc) <= 0) throw PrinterError("could not start a page");
    // A new page may come with the device's default font and background.
    if (font != nullptr) SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  }

  HDC dc = nullptr;
  HFONT font = nullptr;
  int page_width = 0;  // the printable area, in device pixels
  int page_height = 0;
  int line_height = 0;
};

Win32PrintDevice::Win32PrintDevice(const CodePage& code_page) : code_page_(code_page) {}
Win32PrintDevice::~Win32PrintDevice() = default;

bool Win32PrintDevice::LookUp() {
  if (looked_up_) return !name_.empty();
  looked_up_ = true;
  DWORD size = 0;
  GetDefaultPrinterW(nullptr, &size);
  if (size == 0) return false;
  std::wstring name(size, L'\0');
  if (!GetDefaultPrinterW(name.data(), &size)) return false;
  name.resize(std::wcslen(name.c_str()));
  name_ = name;

  HANDLE printer = nullptr;
  if (OpenPrinterW(name_.data(), &printer, nullptr)) {
    const LONG bytes = DocumentPropertiesW(nullptr, printer, name_.data(), nullptr, nullptr, 0);
    if (bytes > 0) {
      devmode_.assign(static_cast<size_t>(bytes), 0);
      if (DocumentPropertiesW(nullptr, printer, name_.data(),
                              reinterpret_cast<DEVMODEW*>(devmode_.data()), nullptr,
                              DM_OUT_BUFFER) != IDOK)
        devmode_.clear();
    }
    ClosePrinter(printer);
  }
  return true;
}

std::string Win32PrintDevice::DeviceName() {
  LookUp();
  return ProgramTextFromWide(name_, code_page_);
}

bool Win32PrintDevice::Landscape() {
  if (!LookUp()) throw RunError(err::kPrinterError, "no default printer");
  const DEVMODEW* settings = Settings(devmode_);
  if (settings == nullptr)
    throw RunError(err::kPrinterError, DeviceName() + ": no printer settings");
  return (settings->dmFields & DM_ORIENTATION) != 0 &&
         settings->dmOrientation == DMORIENT_LANDSCAPE;
}

PrintDevice::Page Win32PrintDevice::BeginJob(const std::string& name, const std::string& font_name,
                                             double font_points) {
  if (!LookUp()) throw RunError(err::kPrinterError, "no printer is set up");
  job_ = std::make_unique<Job>(name, name_, Settings(devmode_), font_name, font_points, code_page_);
  return {static_cast<double>(job_->page_width), static_cast<double>(job_->page_height),
          static_cast<double>(job_->line_height)};
}

double Win32PrintDevice::TextWidth(std::string_view text) {
  const std::wstring wide = WideFromProgramText(text, code_page_);
  SIZE extent{};
  if (!GetTextExtentPoint32W(job_->dc, wide.data(), static_cast<int>(wide.size()), &extent))
    throw PrinterError("a text could not be measured");
  return extent.cx;
}

size_t Win32PrintDevice::Fitting(std::string_view text, double width) {
  const std::wstring wide = WideFromProgramText(text, code_page_);
  INT fit = 0;
  SIZE size{};
  if (!GetTextExtentExPointW(job_->dc, wide.data(), static_cast<int>(wide.size()),
                             static_cast<int>(width), &fit, nullptr, &size))
    throw PrinterError("a line could not be measured");
  return static_cast<size_t>(std::max(fit, 0));
}

void Win32PrintDevice::DrawRow(std::string_view text, double top) {
  const std::wstring wide = WideFromProgramText(text, code_page_);
  if (!TextOutW(job_->dc, 0, static_cast<int>(top), wide.data(), static_cast<int>(wide.size())))
    throw PrinterError("a line could not be printed");
}

void Win32PrintDevice::NewPage() {
  if (EndPage(job_->dc) <= 0) throw PrinterError("could not end a page");
  job_->StartPage();
}

void Win32PrintDevice::EndJob() {
  const std::unique_ptr<Job> job = std::move(job_);
  const bool ended = EndPage(job->dc) > 0;
  if (!ended || EndDoc(job->dc) <= 0) throw PrinterError("the print job could not be completed");
  DeleteDC(job->dc);
  job->dc = nullptr;
}

void Win32PrintDevice::AbandonJob() {
  job_.reset();
}

}  // namespace hx
