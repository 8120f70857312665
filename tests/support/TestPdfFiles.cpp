#include "support/TestPdfFiles.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>

#include <stdexcept>

namespace tarvello::test {

QColor PageColour(int page)
{
    static const QColor colours[] = {QColor(220, 40, 40),  QColor(40, 180, 40),
                                     QColor(40, 60, 220),  QColor(230, 200, 30),
                                     QColor(200, 40, 200), QColor(30, 200, 200)};
    return colours[(page - 1) % 6];
}

void WriteColouredPdf(const QString &path, int pages, const QPageSize &size, int colourShift)
{
    QPdfWriter writer(path);
    writer.setPageSize(size);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter(&writer);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) {
            writer.newPage();
        }
        const QRect area(QPoint(0, 0), size.sizePoints());
        painter.fillRect(area, PageColour(page + colourShift));
        QFont font = painter.font();
        font.setPointSize(40);
        painter.setFont(font);
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Page %1").arg(page));
    }
}

QByteArray BuildRawPdf(const std::vector<QByteArray> &objects, const QByteArray &trailerExtra)
{
    QByteArray pdf("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    std::vector<qsizetype> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(qulonglong(i + 1)) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(qulonglong(objects.size() + 1)) + "\n";
    pdf += "0000000000 65535 f \n";
    for (qsizetype offset : offsets) {
        pdf += QByteArray::number(qlonglong(offset)).rightJustified(10, '0') + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + QByteArray::number(qulonglong(objects.size() + 1)) +
           " /Root 1 0 R " + trailerExtra + " >>\nstartxref\n" +
           QByteArray::number(qlonglong(xref)) + "\n%%EOF\n";
    return pdf;
}

QByteArray ZeroPagePdf()
{
    return BuildRawPdf(
        {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [] /Count 0 >>"});
}

QByteArray PdfWithOutline()
{
    return BuildRawPdf({
        "<< /Type /Catalog /Pages 2 0 R /Outlines 5 0 R /PageMode /UseOutlines >>",
        "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 400] >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 400] >>",
        "<< /Type /Outlines /First 6 0 R /Last 7 0 R /Count 2 >>",
        "<< /Title (Verse) /Parent 5 0 R /Next 7 0 R /Dest [3 0 R /XYZ 0 400 0] >>",
        "<< /Title (Chorus) /Parent 5 0 R /Prev 6 0 R /Dest [4 0 R /XYZ 0 400 0] >>",
    });
}

namespace {

QByteArray Rc4(const QByteArray &key, const QByteArray &data)
{
    unsigned char s[256];
    for (int i = 0; i < 256; ++i) {
        s[i] = static_cast<unsigned char>(i);
    }
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<unsigned char>(key[i % key.size()])) & 0xFF;
        std::swap(s[i], s[j]);
    }
    QByteArray out(data.size(), '\0');
    for (qsizetype n = 0, i = 0, j = 0; n < data.size(); ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        out[n] = static_cast<char>(data[n] ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return out;
}

QByteArray Padded(const QByteArray &password)
{
    static const unsigned char pad[32] = {0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41,
                                          0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
                                          0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80,
                                          0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};
    return (password + QByteArray(reinterpret_cast<const char *>(pad), 32)).left(32);
}

QByteArray Md5(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

} // namespace

QByteArray PasswordProtectedPdf()
{
    // The standard security handler, revision 2: O from the owner password, U
    // from the user password, the permissions and the first file identifier.
    const QByteArray id = QByteArray::fromHex("0123456789abcdef0123456789abcdef");
    const qint32 permissions = -4;
    const QByteArray owner = Rc4(Md5(Padded("owner")).left(5), Padded("secret"));
    QByteArray p(4, '\0');
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<char>((quint32(permissions) >> (8 * i)) & 0xFF);
    }
    const QByteArray userKey = Md5(Padded("secret") + owner + p + id).left(5);
    const QByteArray user = Rc4(userKey, Padded(QByteArray()));
    return BuildRawPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 400] >>",
                        "<< /Filter /Standard /V 1 /R 2 /O <" + owner.toHex() + "> /U <" +
                            user.toHex() + "> /P " + QByteArray::number(permissions) + " >>"},
                       "/Encrypt 4 0 R /ID [<" + id.toHex() + "> <" + id.toHex() + ">]");
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write test file");
    }
}

} // namespace tarvello::test
