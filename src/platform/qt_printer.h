// The system's current printer through Qt, with libcups for what Qt cannot
// tell (the orientation a queue is configured with).
//
// One print job per run: it begins at the first printed line or page eject
// and is handed to the printing system by EndJob().  Lines are drawn one
// below the other in the chosen font; a line that would pass the bottom of
// the printable area starts a new page.

#ifndef HX_PLATFORM_QT_PRINTER_H_
#define HX_PLATFORM_QT_PRINTER_H_

#include <QFont>
#include <QPainter>
#include <memory>

#include "platform/platform.h"

class QPrinter;

namespace hx {

class QtPrinter : public Printer {
 public:
  QtPrinter();
  ~QtPrinter() override;
  QtPrinter(const QtPrinter&) = delete;
  QtPrinter& operator=(const QtPrinter&) = delete;

  void SetFontName(const std::string& name) override;
  void SetFontSize(double points) override;
  std::string DeviceName() override;
  void FollowDefault() override;
  int Orientation() override;
  void PrintLine(const std::string& text) override;
  void EjectPage() override;
  void EndJob() override;

 private:
  void BeginJob();

  QFont font_;
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;  // active while the job is open
  double y_ = 0;      // top of the next line, in device pixels from the printable area's top
};

}  // namespace hx

#endif  // HX_PLATFORM_QT_PRINTER_H_
