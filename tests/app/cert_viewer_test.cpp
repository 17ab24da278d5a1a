// The certificate viewer: the fields read from a certificate, and the C entry
// point on the real PKI library showing them in a modal window.
#include <openssl/x509.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/cert_viewer/cert_details.h"
#include "app/cert_viewer/cert_viewer_dialog.h"
#include "devserver/tsa_identity.h"
#include "tavik/tavik_handles.h"
#include "tavik/tavik_pki_ui.h"
#include "tools/bidx/ephemeral_signer.h"
#include "tools/bidx/key_files.h"

namespace brevalt::pkiui {
namespace {

// A certificate with critical extensions (the local authority's identity).
std::vector<unsigned char> AuthorityCertDer() {
  devserver::TsaIdentity identity;
  if (!devserver::GenerateTsaIdentity(&identity))
    return {};
  unsigned char* der = nullptr;
  const int length = i2d_X509(identity.cert.get(), &der);
  std::vector<unsigned char> bytes(der, der + (length > 0 ? length : 0));
  OPENSSL_free(der);
  return bytes;
}

QString Fingerprint(const std::vector<unsigned char>& der) {
  const QByteArray bytes(reinterpret_cast<const char*>(der.data()), static_cast<int>(der.size()));
  return QString::fromLatin1(
      QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(':').toUpper());
}

}  // namespace

class CertViewerTest : public QObject {
  Q_OBJECT

 private slots:
  void ReadsEveryShownField() {
    const std::vector<unsigned char> der = AuthorityCertDer();
    QVERIFY(!der.empty());
    CertDetails details;
    QVERIFY(ReadCertDetails(der, &details));
    QVERIFY(QString::fromStdString(details.subject).contains("CN="));
    QVERIFY(QString::fromStdString(details.issuer).contains("CN="));
    QVERIFY(details.issuer != details.subject);  // issued by the devserver's own CA
    QVERIFY(!details.serial.empty());
    QCOMPARE(details.key_algorithm, std::string("EC (prime256v1)"));
    QCOMPARE(details.key_bits, 256);
    QCOMPARE(details.signature_algorithm, std::string("ecdsa-with-SHA256"));
    QCOMPARE(QString::fromStdString(details.sha256), Fingerprint(der));
    QVERIFY(QDateTime::fromString(QString::fromStdString(details.not_before), "yyyy-MM-dd HH:mm:ss")
                .isValid());
    QVERIFY(details.not_after > details.not_before);
    bool time_stamping = false;
    for (const CertExtension& extension : details.extensions) {
      if (extension.name == "X509v3 Extended Key Usage")
        time_stamping = extension.critical && extension.value.find("Time Stamping") == 0;
    }
    QVERIFY(time_stamping);
  }

  void NamesSm2KeysAndSignatures() {
    const bidx::Signer sm2 = bidx::MakeCaSigner(bidx::KeyKind::kSm2, "SM2 CA", 1);
    CertDetails details;
    QVERIFY(ReadCertDetails(bidx::CertificateDer(sm2.cert.get()), &details));
    QCOMPARE(details.key_algorithm, std::string("SM2"));
    QCOMPARE(details.signature_algorithm, std::string("SM2-with-SM3"));
  }

  void RefusesWhatIsNotOneCertificate() {
    std::vector<unsigned char> der = AuthorityCertDer();
    CertDetails details;
    der.push_back(0);  // trailing byte
    QVERIFY(!ReadCertDetails(der, &details));
    QVERIFY(!ReadCertDetails({}, &details));
    std::vector<unsigned char> bytes;
    QVERIFY(DecodeBase64("TWFu", &bytes));
    QCOMPARE(std::string(bytes.begin(), bytes.end()), std::string("Man"));
    QVERIFY(DecodeBase64("TWE=", &bytes));
    QCOMPARE(bytes.size(), size_t{2});
    QVERIFY(!DecodeBase64("TWE", &bytes));
    QVERIFY(!DecodeBase64("TW\nFu", &bytes));
    QVERIFY(!DecodeBase64("", &bytes));
  }

  // The C entry point reads the certificate through the PKI library and
  // shows a modal window with a close button.
  void DisplayCertShowsTheCertificateModally() {
    const std::vector<unsigned char> der = AuthorityCertDer();
    UniqueCert cert(TavikPKICertNewCert(der.data(), static_cast<int>(der.size())));
    QVERIFY(cert != nullptr);
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
      auto* viewer = qobject_cast<CertViewerDialog*>(QApplication::activeModalWidget());
      if (viewer == nullptr)
        return;
      shown = viewer->Rows();
      auto* close = viewer->findChild<QPushButton*>();
      if (close != nullptr)
        close->click();
    });
    QCOMPARE(TavikPKIUIDisplayCert(nullptr, cert.get()), 1);
    QVERIFY(shown.contains(QStringLiteral("指纹 (SHA-256): ") + Fingerprint(der)));
    QCOMPARE(TavikPKIUIDisplayCert(nullptr, nullptr), 0);
  }
};

}  // namespace brevalt::pkiui

QTEST_MAIN(brevalt::pkiui::CertViewerTest)
#include "cert_viewer_test.moc"
