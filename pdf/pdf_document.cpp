// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdf_document.h"

#include "common/regular_file.h"

#include <poppler-qt6.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <QFile>
#include <QFileInfo>

#include <memory>
#include <set>

namespace zoma {

namespace {

const QString NotPdfText = QStringLiteral("不是PDF文件，或文件已损坏");
const QString LockedText = QStringLiteral("PDF文件已加密，需要密码才能打开");
const QString NoPagesText = QStringLiteral("PDF文件已损坏：没有可读的页");
const QString DamagedText = QStringLiteral("PDF文件已损坏（%1）");

// Poppler mends a broken cross-reference table quietly and may then give
// part of the text; qpdf says when there was anything to mend.
bool soundStructure(const QString& path, QString* error) {
    try {
        const QByteArray name = QFile::encodeName(path);
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(name.constData());
        QPDFPageDocumentHelper(pdf).getAllPages();
        if (pdf.anyWarnings()) {
            const std::vector<QPDFExc> warnings = pdf.getWarnings();
            *error = DamagedText.arg(
                warnings.empty() ? QString()
                                 : QString::fromStdString(warnings.front().getMessageDetail()));
            return false;
        }
    } catch (const QPDFExc& e) {
        *error = e.getErrorCode() == qpdf_e_password
                     ? LockedText
                     : DamagedText.arg(QString::fromStdString(e.getMessageDetail()));
        return false;
    } catch (const std::exception& e) {
        *error = DamagedText.arg(QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

void quietPoppler(const QString&, const QVariant&) {}

std::unique_ptr<Poppler::Document> openPoppler(const QString& path, QString* error) {
    // Poppler reports repairs it makes on stderr; the reason we give is enough.
    static const bool quiet = (Poppler::setDebugErrorFunction(quietPoppler, QVariant()), true);
    Q_UNUSED(quiet);
    // Never waits on a FIFO or reads a device.
    QFile file;
    if (!openRegularFile(path, &file, error)) return nullptr;
    if (file.size() > kMaxFileSize) {
        *error = tooLargeReason(kMaxFileSize);
        return nullptr;
    }
    const QByteArray head = file.peek(1024);
    file.close();
    if (!head.contains("%PDF-")) {
        *error = NotPdfText;
        return nullptr;
    }
    if (!soundStructure(path, error)) return nullptr;
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path);
    if (!doc) {
        *error = NotPdfText;
        return nullptr;
    }
    if (doc->isLocked()) {
        *error = LockedText;
        return nullptr;
    }
    if (doc->numPages() <= 0) {
        *error = NoPagesText;
        return nullptr;
    }
    return doc;
}

}  // namespace

bool readPdfText(const QString& path, QString* text, QString* error) {
    const std::unique_ptr<Poppler::Document> doc = openPoppler(path, error);
    if (!doc) return false;
    text->clear();
    for (int i = 0; i < doc->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = doc->page(i);
        if (!page) {
            *error = NoPagesText;
            return false;
        }
        *text += page->text(QRectF());
        *text += u'\n';
    }
    return true;
}

bool readPdfWords(const QString& path, QList<PdfWord>* words, QString* error) {
    const std::unique_ptr<Poppler::Document> doc = openPoppler(path, error);
    if (!doc) return false;
    words->clear();
    for (int i = 0; i < doc->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = doc->page(i);
        if (!page) continue;
        for (const std::unique_ptr<Poppler::TextBox>& box : page->textList()) {
            words->append({i, box->boundingBox(), box->text()});
        }
    }
    return true;
}

namespace {

// Follows the graphics state through one content stream and records every
// image it draws; forms are walked with their own resources and matrix.
class ImageWalker final : public QPDFObjectHandle::ParserCallbacks {
public:
    ImageWalker(int page, double pageTop, double pageLeft, QList<PdfImage>* images,
                std::set<QPDFObjGen>* openForms)
        : m_page(page),
          m_pageTop(pageTop),
          m_pageLeft(pageLeft),
          m_images(images),
          m_openForms(openForms) {}

    void walk(QPDFObjectHandle resources, const QPDFMatrix& start,
              const std::function<void(QPDFObjectHandle::ParserCallbacks*)>& parse) {
        m_resources = resources;
        m_ctm = start;
        parse(this);
    }

    void handleObject(QPDFObjectHandle obj) override {
        if (!obj.isOperator()) {
            if (m_operands.size() < 8) m_operands.push_back(obj);
            return;
        }
        const std::string op = obj.getOperatorValue();
        if (op == "q") {
            if (m_stack.size() < 1000) m_stack.push_back(m_ctm);
        } else if (op == "Q") {
            if (!m_stack.empty()) {
                m_ctm = m_stack.back();
                m_stack.pop_back();
            }
        } else if (op == "cm" && m_operands.size() == 6) {
            double v[6];
            bool numbers = true;
            for (int i = 0; i < 6; ++i) {
                numbers = numbers && m_operands[size_t(i)].getValueAsNumber(v[i]);
            }
            if (numbers) m_ctm.concat(QPDFMatrix(v[0], v[1], v[2], v[3], v[4], v[5]));
        } else if (op == "Do" && m_operands.size() == 1 && m_operands[0].isName()) {
            draw(m_operands[0].getName());
        }
        m_operands.clear();
    }

    void handleEOF() override {}

private:
    void draw(const std::string& name) {
        if (!m_resources.isDictionary()) return;
        QPDFObjectHandle xobjects = m_resources.getKey("/XObject");
        if (!xobjects.isDictionary()) return;
        QPDFObjectHandle xobject = xobjects.getKey(name);
        if (!xobject.isStream()) return;
        QPDFObjectHandle dict = xobject.getDict();
        QPDFObjectHandle subtype = dict.getKey("/Subtype");
        if (subtype.isNameAndEquals("/Image")) {
            addImage(xobject);
        } else if (subtype.isNameAndEquals("/Form")) {
            // A form that draws itself would never end.
            if (!m_openForms->insert(xobject.getObjGen()).second) return;
            QPDFMatrix matrix = m_ctm;
            QPDFObjectHandle m = dict.getKey("/Matrix");
            if (m.isMatrix()) matrix.concat(QPDFMatrix(m.getArrayAsMatrix()));
            QPDFObjectHandle resources = dict.getKey("/Resources");
            ImageWalker inner(m_page, m_pageTop, m_pageLeft, m_images, m_openForms);
            inner.walk(resources.isDictionary() ? resources : m_resources, matrix,
                       [&](QPDFObjectHandle::ParserCallbacks* cb) { xobject.parseAsContents(cb); });
            m_openForms->erase(xobject.getObjGen());
        }
    }

    void addImage(QPDFObjectHandle image) {
        const QPDFObjectHandle::Rectangle r =
            m_ctm.transformRectangle(QPDFObjectHandle::Rectangle(0, 0, 1, 1));
        PdfImage found;
        found.page = m_page;
        found.box = QRectF(r.llx - m_pageLeft, m_pageTop - r.ury, r.urx - r.llx, r.ury - r.lly);
        QPDFObjectHandle filter = image.getDict().getKey("/Filter");
        if (filter.isArray() && filter.getArrayNItems() == 1) filter = filter.getArrayItem(0);
        // A stream whose only filter is DCT holds the JPEG file as it was
        // put in; its raw bytes are the picture.
        found.jpeg = filter.isNameAndEquals("/DCTDecode");
        std::shared_ptr<Buffer> data = image.getRawStreamData();
        if (data) {
            found.bytes = QByteArray(reinterpret_cast<const char*>(data->getBuffer()),
                                     qsizetype(data->getSize()));
        }
        m_images->append(found);
    }

    int m_page;
    double m_pageTop;
    double m_pageLeft;
    QList<PdfImage>* m_images;
    std::set<QPDFObjGen>* m_openForms;
    QPDFObjectHandle m_resources;
    QPDFMatrix m_ctm;
    std::vector<QPDFMatrix> m_stack;
    std::vector<QPDFObjectHandle> m_operands;
};

}  // namespace

bool readPdfImages(const QString& path, QList<PdfImage>* images, QString* error) {
    images->clear();
    try {
        const QByteArray name = QFile::encodeName(path);
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(name.constData());
        int pageNumber = 0;
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            QPDFObjectHandle box = page.getAttribute("/CropBox", false);
            if (!box.isRectangle()) box = page.getAttribute("/MediaBox", false);
            const QPDFObjectHandle::Rectangle rect =
                box.isRectangle() ? box.getArrayAsRectangle()
                                  : QPDFObjectHandle::Rectangle(0, 0, 612, 792);
            std::set<QPDFObjGen> openForms;
            ImageWalker walker(pageNumber, std::max(rect.ury, rect.lly),
                               std::min(rect.llx, rect.urx), images, &openForms);
            walker.walk(page.getAttribute("/Resources", false), QPDFMatrix(),
                        [&](QPDFObjectHandle::ParserCallbacks* cb) { page.parseContents(cb); });
            ++pageNumber;
        }
    } catch (const std::exception& e) {
        *error = NotPdfText + QStringLiteral("（") + QString::fromLocal8Bit(e.what()) +
                 QStringLiteral("）");
        return false;
    }
    return true;
}

}  // namespace zoma
