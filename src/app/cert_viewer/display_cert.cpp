// The PKI library's certificate viewer entry point on Qt Widgets.
#include <QApplication>
#include <QWidget>

#include "app/cert_viewer/cert_details.h"
#include "app/cert_viewer/cert_viewer_dialog.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_pki_ui.h"

namespace {

// The certificate's DER, obtained through the public API (encode form 2).
bool CertDer(TAVIK_CERT_st* cert, std::vector<unsigned char>* der) {
  unsigned char* raw = nullptr;
  int length = 0;
  if (TavikPKICertGetCertEncode(cert, TAVIK_CERT_ENCODE_BASE64, &raw, &length) != 1)
    return false;
  brevalt::UniqueLibBuffer<unsigned char> text(raw);
  if (!text || length <= 0)
    return false;
  return brevalt::pkiui::DecodeBase64(
      std::string(reinterpret_cast<char*>(text.get()), static_cast<size_t>(length)), der);
}

}  // namespace

// Runs the viewer modally on the interface thread. The owner is a QWidget
// (or null). Returns 0 without a window when there is no certificate, no
// QApplication, or the certificate cannot be read; 1 after the user closed it.
extern "C" int TavikPKIUIDisplayCert(void* owner_window, TAVIK_CERT_st* cert) {
  std::vector<unsigned char> der;
  brevalt::pkiui::CertDetails details;
  if (cert == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
      !CertDer(cert, &der) || !brevalt::pkiui::ReadCertDetails(der, &details))
    return 0;
  brevalt::pkiui::CertViewerDialog viewer(details, static_cast<QWidget*>(owner_window));
  viewer.exec();
  return 1;
}
