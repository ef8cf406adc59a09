// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdf_document.h"

#include "common/regular_file.h"
#include "common/system_error.h"
#include "pdf/pdf_progress.h"

#include <poppler-qt6.h>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFSystemError.hh>

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <functional>
#include <memory>
#include <new>
#include <set>
#include <stdexcept>

namespace zoma {

namespace {

const QString NotPdfText = QStringLiteral("不是PDF文件，或文件已损坏");
const QString LockedText = QStringLiteral("PDF文件已加密，需要密码才能打开");
const QString NoPagesText = QStringLiteral("PDF文件已损坏：没有可读的页");
const QString DamagedText = QStringLiteral("PDF文件已损坏（%1）");
const QString DamagedPageText = QStringLiteral("PDF文件已损坏（第%1页的内容无法正确解码）");
const QString DepthText = QStringLiteral("PDF文件超出读取限度：第%1页的表单嵌套超过%2层");
const QString DrawsText = QStringLiteral("PDF文件超出读取限度：第%1页绘制表单和图片超过%2次");
const QString BytesText = QStringLiteral("PDF文件超出读取限度：第%1页的内容解码后超过%2 MB");
const QString CancelledText = QStringLiteral("已取消");

// Thrown out of the content walk; the page is known where it is caught.
struct PastBound {
    const QString* text;
    qint64 bound;
};
struct PageDamaged {};

// What the page walked so far has cost.
struct PageBudget {
    qint64 bytes = 0;
    int draws = 0;
};

// Counts decoded bytes and stops the decoding once they pass the page's
// bound, so that a stream that inflates to gigabytes is never held.
class CountingSink final : public Pipeline {
public:
    explicit CountingSink(qint64 room) : Pipeline("page content", nullptr), m_room(room) {}
    void write(const unsigned char*, size_t length) override {
        m_count += qint64(length);
        if (m_count > m_room) {
            m_over = true;
            throw std::length_error("page content past its bound");
        }
    }
    void finish() override {}
    qint64 count() const { return m_count; }
    bool over() const { return m_over; }

private:
    qint64 m_room;
    qint64 m_count = 0;
    bool m_over = false;
};

// Decodes one content stream to count it against the page's budget; the
// parser decodes it again only when it fits and decodes cleanly.
void checkStream(QPDFObjectHandle stream, PageBudget* budget) {
    CountingSink sink(kMaxPdfPageBytes - budget->bytes);
    bool attempted = false;
    const bool ok = stream.pipeStreamData(&sink, &attempted, 0, qpdf_dl_specialized, true, false);
    if (sink.over()) throw PastBound{&BytesText, kMaxPdfPageBytes >> 20};
    QPDFObjectHandle filter = stream.getDict().getKey("/Filter");
    const bool filtered = filter.isName() || (filter.isArray() && filter.getArrayNItems() > 0);
    if (!ok || (filtered && !attempted)) throw PageDamaged();
    budget->bytes += sink.count();
}

// Poppler reports what it cannot read on a page through one global
// function; what it says while a page is read marks the page damaged.
class PopplerErrors final {
public:
    static PopplerErrors& instance() {
        static PopplerErrors errors;
        return errors;
    }
    void clear() {
        const QMutexLocker lock(&m_mutex);
        m_count = 0;
    }
    bool any() const {
        const QMutexLocker lock(&m_mutex);
        return m_count > 0;
    }

private:
    PopplerErrors() { Poppler::setDebugErrorFunction(collect, QVariant()); }
    static void collect(const QString&, const QVariant&) {
        PopplerErrors& self = instance();
        const QMutexLocker lock(&self.m_mutex);
        ++self.m_count;
    }
    mutable QMutex m_mutex;
    int m_count = 0;
};

// Follows the graphics state through one content stream and records every
// image it draws (when asked to); forms are walked with their own resources
// and matrix. Every stream is checked against the page's bounds before it is
// parsed.
class ImageWalker final : public QPDFObjectHandle::ParserCallbacks {
public:
    ImageWalker(int page, double pageTop, double pageLeft, QList<PdfImage>* images,
                std::set<QPDFObjGen>* openForms, PageBudget* budget, int depth)
        : m_page(page),
          m_pageTop(pageTop),
          m_pageLeft(pageLeft),
          m_images(images),
          m_openForms(openForms),
          m_budget(budget),
          m_depth(depth) {}

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
        if (++m_budget->draws > kMaxPdfDrawsPerPage) {
            throw PastBound{&DrawsText, kMaxPdfDrawsPerPage};
        }
        QPDFObjectHandle dict = xobject.getDict();
        QPDFObjectHandle subtype = dict.getKey("/Subtype");
        if (subtype.isNameAndEquals("/Image")) {
            if (m_images) addImage(xobject);
        } else if (subtype.isNameAndEquals("/Form")) {
            // A form that draws itself would never end.
            if (!m_openForms->insert(xobject.getObjGen()).second) return;
            if (m_depth + 1 > kMaxPdfFormDepth) throw PastBound{&DepthText, kMaxPdfFormDepth};
            checkStream(xobject, m_budget);
            QPDFMatrix matrix = m_ctm;
            QPDFObjectHandle m = dict.getKey("/Matrix");
            if (m.isMatrix()) matrix.concat(QPDFMatrix(m.getArrayAsMatrix()));
            QPDFObjectHandle resources = dict.getKey("/Resources");
            ImageWalker inner(m_page, m_pageTop, m_pageLeft, m_images, m_openForms, m_budget,
                              m_depth + 1);
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
    PageBudget* m_budget;
    int m_depth;
    QPDFObjectHandle m_resources;
    QPDFMatrix m_ctm;
    std::vector<QPDFMatrix> m_stack;
    std::vector<QPDFObjectHandle> m_operands;
};

}  // namespace

QByteArray qpdfFileName(const QString& path) {
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

namespace {

// The file's structure and every page's content, forms included, read
// through qpdf under the page bounds: Poppler mends a broken cross-reference
// table quietly and may then give part of the text, and it reads a damaged
// content stream as far as it can. qpdf says when there was anything to
// mend. The images drawn are recorded when images is given.
bool walkPages(const QString& path, QList<PdfImage>* images, PdfProgress* progress,
               QString* error) {
    const QString fileName = QFileInfo(path).fileName();
    int pageNumber = 0;
    try {
        const QByteArray name = zoma::qpdfFileName(path);
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(name.constData());
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        if (pdf.anyWarnings()) {
            const std::vector<QPDFExc> warnings = pdf.getWarnings();
            *error = DamagedText.arg(
                warnings.empty() ? QString()
                                 : QString::fromStdString(warnings.front().getMessageDetail()));
            return false;
        }
        for (QPDFPageObjectHelper& page : pages) {
            if (progress) {
                if (progress->cancelled()) {
                    *error = CancelledText;
                    return false;
                }
                progress->reading(fileName, pageNumber + 1, int(pages.size()));
            }
            QPDFObjectHandle box = page.getAttribute("/CropBox", false);
            if (!box.isRectangle()) box = page.getAttribute("/MediaBox", false);
            const QPDFObjectHandle::Rectangle rect =
                box.isRectangle() ? box.getArrayAsRectangle()
                                  : QPDFObjectHandle::Rectangle(0, 0, 612, 792);
            PageBudget budget;
            QPDFObjectHandle contents = page.getObjectHandle().getKey("/Contents");
            if (contents.isStream()) {
                checkStream(contents, &budget);
            } else if (contents.isArray()) {
                for (QPDFObjectHandle& part : contents.aitems()) {
                    if (part.isStream()) checkStream(part, &budget);
                }
            }
            std::set<QPDFObjGen> openForms;
            ImageWalker walker(pageNumber, std::max(rect.ury, rect.lly),
                               std::min(rect.llx, rect.urx), images, &openForms, &budget, 0);
            walker.walk(page.getAttribute("/Resources", false), QPDFMatrix(),
                        [&](QPDFObjectHandle::ParserCallbacks* cb) { page.parseContents(cb); });
            if (pdf.anyWarnings()) throw PageDamaged();
            ++pageNumber;
        }
    } catch (const PastBound& past) {
        *error = past.text->arg(pageNumber + 1).arg(past.bound);
        return false;
    } catch (const PageDamaged&) {
        *error = DamagedPageText.arg(pageNumber + 1);
        return false;
    } catch (const QPDFExc& e) {
        *error = e.getErrorCode() == qpdf_e_password
                     ? LockedText
                     : DamagedText.arg(QString::fromStdString(e.getMessageDetail()));
        return false;
    } catch (const QPDFSystemError& e) {
        // The file could be opened a moment ago; it went or changed since.
        *error = errnoReason(e.getErrno());
        return false;
    } catch (const std::bad_alloc&) {
        throw;  // the module's entry reports it
    } catch (const std::exception& e) {
        *error = DamagedText.arg(QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

std::unique_ptr<Poppler::Document> openPoppler(const QString& path, QString* error,
                                               PdfProgress* progress) {
    PopplerErrors::instance();
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
    if (!walkPages(path, nullptr, progress, error)) return nullptr;
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

// Each page of an open document in turn, told to progress and refused when
// Poppler reports anything while reading it.
bool eachPage(const QString& path, Poppler::Document& doc, PdfProgress* progress, QString* error,
              const std::function<void(int, Poppler::Page&)>& read) {
    const QString fileName = QFileInfo(path).fileName();
    for (int i = 0; i < doc.numPages(); ++i) {
        if (progress) {
            if (progress->cancelled()) {
                *error = CancelledText;
                return false;
            }
            progress->reading(fileName, i + 1, doc.numPages());
        }
        const std::unique_ptr<Poppler::Page> page = doc.page(i);
        if (!page) {
            *error = NoPagesText;
            return false;
        }
        PopplerErrors::instance().clear();
        read(i, *page);
        if (PopplerErrors::instance().any()) {
            *error = DamagedPageText.arg(i + 1);
            return false;
        }
    }
    return true;
}

}  // namespace

bool readPdfText(const QString& path, QString* text, QString* error, PdfProgress* progress) {
    const std::unique_ptr<Poppler::Document> doc = openPoppler(path, error, progress);
    if (!doc) return false;
    text->clear();
    return eachPage(path, *doc, progress, error, [&](int, Poppler::Page& page) {
        *text += page.text(QRectF());
        *text += u'\n';
    });
}

bool readPdfWords(const QString& path, QList<PdfWord>* words, QString* error,
                  PdfProgress* progress) {
    const std::unique_ptr<Poppler::Document> doc = openPoppler(path, error, progress);
    if (!doc) return false;
    words->clear();
    return eachPage(path, *doc, progress, error, [&](int i, Poppler::Page& page) {
        for (const std::unique_ptr<Poppler::TextBox>& box : page.textList()) {
            words->append({i, box->boundingBox(), box->text()});
        }
    });
}

bool readPdfImages(const QString& path, QList<PdfImage>* images, QString* error,
                   PdfProgress* progress) {
    images->clear();
    return walkPages(path, images, progress, error);
}

}  // namespace zoma
