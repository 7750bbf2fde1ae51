// Reports printed into PDF files.
#include "cli/cli_pdf.h"

#include <QFile>
#include <cstdio>
#include <exception>

#include "app/message_texts.h"
#include "view/page_output.h"

namespace ferrowyn::cli {

bool PrintPdf(const std::function<void(TPagePrinter&)>& write, const char* failed,
              const std::string& out) {
  TPagePrinter printer;
  try {
    write(printer);
  } catch (const std::exception&) {
    std::fprintf(stderr, "%s\n", failed);
    return false;
  }
  try {
    WritePdfFile(printer, QFile::decodeName(QByteArray::fromStdString(out)));
  } catch (const EPagePrinterError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return false;
  }
  std::fprintf(stderr, "%d pages written to %s.\n", printer.PageCount(), Quoted(out).c_str());
  return true;
}

}  // namespace ferrowyn::cli
