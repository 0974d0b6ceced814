#include "win32/printer_win32.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string_view>

#include "base/run_error.h"
#include "output/printed_rows.h"
#include "win32/program_text.h"
#include "win32/system_text.h"

namespace hx {

namespace {

constexpr wchar_t kJobName[] = L"HX_RPT";

RunError PrinterError(const std::string& what) {
  return RunError(err::kPrinterError, what + ": " + LastSystemError());
}

const DEVMODEW* Settings(const std::vector<unsigned char>& devmode) {
  return devmode.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(devmode.data());
}

}  // namespace

struct Win32Printer::Job {
  // Text goes to paper through the wide-character calls, from code_page.
  Job(const std::wstring& printer, const DEVMODEW* settings, const std::string& font_name,
      double font_points, const CodePage& code_page)
      : page(code_page) {
    dc = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, settings);
    if (dc == nullptr) throw PrinterError("the printer could not be opened");
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = kJobName;
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
                         DEFAULT_PITCH | FF_DONTCARE, WideFromProgramText(font_name, page).c_str());
      if (font == nullptr) throw PrinterError("the font could not be made");
      page_width = GetDeviceCaps(dc, HORZRES);
      page_height = GetDeviceCaps(dc, VERTRES);
      StartPage();
      TEXTMETRICW metrics{};
      if (!GetTextMetricsW(dc, &metrics)) throw PrinterError("the font could not be measured");
      line_height = metrics.tmHeight + metrics.tmExternalLeading;
      // Such a font could put nothing of a line on paper, however it was cut.
      const std::wstring margin_and_one = WideFromProgramText(std::string(kMargin) + "M", page);
      SIZE extent{};
      if (!GetTextExtentPoint32W(dc, margin_and_one.data(), static_cast<int>(margin_and_one.size()),
                                 &extent) ||
          extent.cx > page_width || line_height > page_height)
        throw RunError(err::kPrinterError, "the font is too large for the paper");
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
    y = 0;
  }

  void NewPage() {
    if (EndPage(dc) <= 0) throw PrinterError("could not end a page");
    StartPage();
  }

  void PrintRow(std::string_view row) {
    if (y > 0 && y + line_height > page_height) NewPage();
    const std::wstring wide = WideFromProgramText(row, page);
    if (!TextOutW(dc, 0, y, wide.data(), static_cast<int>(wide.size())))
      throw PrinterError("a line could not be printed");
    y += line_height;
  }

  // How many characters of text, from its start, fit the printable width.
  size_t Fitting(std::string_view text) {
    const std::wstring wide = WideFromProgramText(text, page);
    INT fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointW(dc, wide.data(), static_cast<int>(wide.size()), page_width, &fit,
                               nullptr, &size))
      throw PrinterError("a line could not be measured");
    return static_cast<size_t>(std::max(fit, 0));
  }

  const CodePage& page;
  HDC dc = nullptr;
  HFONT font = nullptr;
  int page_width = 0;
  int page_height = 0;
  int line_height = 0;
  int y = 0;  // top of the next row, in device pixels from the printable area's top
};

Win32Printer::Win32Printer(const CodePage& code_page) : code_page_(code_page) {}
Win32Printer::~Win32Printer() = default;

void Win32Printer::SetFontName(const std::string& name) {
  font_name_ = name;
}

void Win32Printer::SetFontSize(double points) {
  if (TakesFontSize(points)) font_points_ = points;
}

bool Win32Printer::LookUp() {
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

std::string Win32Printer::DeviceName() {
  LookUp();
  return ProgramTextFromWide(name_, code_page_);
}

// The job always goes to the system's default printer, so following the
// default needs nothing more.
void Win32Printer::FollowDefault() {}

int Win32Printer::Orientation() {
  if (!LookUp()) throw RunError(err::kPrinterError, "no default printer");
  const DEVMODEW* settings = Settings(devmode_);
  if (settings == nullptr)
    throw RunError(err::kPrinterError, DeviceName() + ": no printer settings");
  const bool landscape =
      (settings->dmFields & DM_ORIENTATION) != 0 && settings->dmOrientation == DMORIENT_LANDSCAPE;
  return landscape ? kLandscape : DMORIENT_PORTRAIT;
}

Win32Printer::Job& Win32Printer::BeginJob() {
  if (job_) return *job_;
  if (!LookUp()) throw RunError(err::kPrinterError, "no printer is set up");
  job_ = std::make_unique<Job>(name_, Settings(devmode_), font_name_, font_points_, code_page_);
  return *job_;
}

void Win32Printer::PrintLine(const std::string& text) {
  Job& job = BeginJob();
  PrintInRows(
      text, [&](std::string_view row) { return job.Fitting(row); },
      [&](std::string_view row) { job.PrintRow(row); });
}

void Win32Printer::EjectPage() {
  BeginJob().NewPage();
}

void Win32Printer::EndJob() {
  if (!job_) return;
  const std::unique_ptr<Job> job = std::move(job_);
  const bool ended = EndPage(job->dc) > 0;
  if (!ended || EndDoc(job->dc) <= 0) throw PrinterError("the print job could not be completed");
  DeleteDC(job->dc);
  job->dc = nullptr;
}

}  // namespace hx
