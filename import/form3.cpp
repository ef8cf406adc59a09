// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/form3.h"

#include "import/archive_pdfs.h"
#include "import/main_thread_dialogs.h"
#include "import/unzip_engine.h"
#include "pdf/pdf_module.h"
#include "pdf/pdf_progress.h"
#include "ui_form3.h"

#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <new>

namespace {

// The import as the extraction interface spells it: ask before replacing a
// file (and replace it when the answer is yes), extract rather than list,
// drop the package's folders, take every entry and leave none out.
constexpr qint16 kPromptOverwrite = 1;
constexpr qint16 kOverwriteExisting = 1;
constexpr qint16 kExtractNotList = 0;
constexpr qint16 kDropFolders = 0;
constexpr qint32 kEveryEntry = 0;
constexpr qint32 kNoExclusions = 0;
// The PDFs of an archive go into a folder of their own without a question.
constexpr qint16 kNoPrompt = 0;
// How soon the progress dialog shows, and how often it looks at the import.
constexpr int kProgressShowMs = 500;
constexpr int kProgressPollMs = 100;

}  // namespace

// What the import thread and the window share while it runs.
struct ImportRun {
    ImportRun(Dialogs& target, QObject* window) : dialogs(target, window) {}
    MainThreadDialogs dialogs;
    PdfProgress progress;
    QMutex mutex;
    QString archive;  // being unpacked, for the dialog; empty once done

    void unpacking(const QString& name) {
        const QMutexLocker lock(&mutex);
        archive = name;
    }
    QString place() {
        const QMutexLocker lock(&mutex);
        if (progress.cancelled()) return Form3::CancellingText;
        if (!archive.isEmpty()) return Form3::UnzippingText.arg(archive);
        const QString reading = progress.place();
        return reading.isEmpty() ? Form3::ImportingText : reading;
    }
};

const QString Form3::Filter =
    QStringLiteral("题库包(*.zip)|*.zip|题库PDF(*.pdf)|*.pdf|所有文件(*.*)|*.*");
const QString Form3::DoneText = QStringLiteral("解压完成");
const QString Form3::NoLibDirText = QStringLiteral("无法创建题库文件夹：%1");
const QString Form3::NoPdfText = QStringLiteral("%1：解压后找不到这个PDF文件");
const QString Form3::NotRegularText = QStringLiteral("题库包无法读取：%1，不是普通文件");
const QString Form3::ImportingText = QStringLiteral("正在导入……");
const QString Form3::UnzippingText = QStringLiteral("正在解压%1");
const QString Form3::CancellingText = QStringLiteral("正在取消导入……");
const QString Form3::SkippedText = QStringLiteral("导入已取消，以下文件没有导入：\n%1");

Form3::Form3(SharedValues& values, Dialogs& dialogs, UnzipBridge& bridge, QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::Form3>()),
      m_values(values),
      m_dialogs(dialogs),
      m_bridge(bridge) {
    m_ui->setupUi(this);
    setFixedSize(size());

    connect(m_ui->Command3, &QPushButton::clicked, this, &Form3::Command3_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Form3::Command2_Click);

    Form_Load();
}

Form3::~Form3() = default;

void Form3::Form_Load() {
    m_ui->Label3->setText(m_values.AppDir);
    m_ui->Command3->setFocus();
}

void Form3::Command3_Click() {
    const QStringList chosen = m_dialogs.openFiles(Filter, m_fileName);
    // A cancelled dialog keeps the names chosen last.
    if (!chosen.isEmpty()) {
        m_files = chosen;
        m_fileName = chosen.first();
    }
    if (m_fileName.isEmpty()) return;
    m_values.SelectedFile = m_fileName;
    m_ui->Label5->setText(m_files.join(u'\n'));
    m_ui->Command1->setEnabled(true);
}

void Form3::Command1_Click() {
    if (importing()) return;
    // The files chosen together, unless another window has chosen a file
    // since: then the import takes that one, as it always has.
    QStringList files = m_files;
    if (files.isEmpty() || files.first() != m_values.SelectedFile) files = {m_values.SelectedFile};

    // A FIFO or device chosen as the package is named here; one that is gone
    // is left to the engine, which reports it with its number.
    for (const QString& file : std::as_const(files)) {
        if (const QFileInfo package(file); package.exists() && !package.isFile()) {
            m_dialogs.message(NotRegularText.arg(QDir::toNativeSeparators(file)));
            return;
        }
    }
    const QString libDir = m_values.LibDir;
    const QFileInfo lib(libDir);
    if (!lib.exists() && !lib.isSymLink() && !QDir().mkdir(libDir)) {
        m_dialogs.message(NoLibDirText.arg(QDir::toNativeSeparators(libDir)));
        return;
    }

    importAway(files, libDir);
}

void Form3::importAway(const QStringList& files, const QString& libDir) {
    ImportRun run(m_dialogs, this);
    m_run = &run;
    m_bridge.setDialogs(run.dialogs);
    // A screen reader presses what the progress dialog only hides from the
    // pointer; choosing or starting again waits for the end.
    m_ui->Command3->setEnabled(false);
    m_ui->Command1->setEnabled(false);

    QProgressDialog box(ImportingText, QStringLiteral("取消"), 0, 0, this);
    box.setWindowTitle(QStringLiteral("导入题库"));
    box.setAccessibleName(QStringLiteral("导入进度"));
    box.setWindowModality(Qt::WindowModal);
    box.setAutoClose(false);
    box.setAutoReset(false);
    // Shown by the poll below rather than by the dialog's own timer, which
    // would raise it over a box that asks meanwhile.
    box.reset();  // stops that timer
    connect(&box, &QProgressDialog::canceled, &box, [&run] { run.progress.cancel(); });
    run.dialogs.setBusy(&box);
    QElapsedTimer running;
    running.start();
    QTimer poll;
    poll.setInterval(kProgressPollMs);
    connect(&poll, &QTimer::timeout, &box, [&] {
        box.setLabelText(run.place());
        if (!box.isVisible() && !box.wasCanceled() && !run.dialogs.asking() &&
            running.elapsed() >= kProgressShowMs)
            box.show();
    });

    QEventLoop loop;
    const std::unique_ptr<QThread> worker(
        QThread::create([&] { importFiles(files, libDir, run); }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    poll.start();
    loop.exec();
    worker->wait();

    m_bridge.setDialogs(m_dialogs);
    m_run = nullptr;
    m_ui->Command3->setEnabled(true);
    m_ui->Command1->setEnabled(true);
    emit importEnded();
    if (m_closeWhenDone) close();
}

void Form3::importFiles(const QStringList& files, const QString& libDir, ImportRun& run) {
    try {
        // Each archive's PDFs in a folder of their own, so that two archives
        // may hold files of one name as the library may.
        QTemporaryDir pdfDir;
        QStringList pdfs;
        for (qsizetype i = 0; i < files.size(); ++i) {
            if (run.progress.cancelled()) {
                QStringList skipped;
                for (const QString& file : files.sliced(i))
                    skipped << QDir::toNativeSeparators(file);
                run.dialogs.message(SkippedText.arg(skipped.join(u'\n')));
                break;
            }
            const QString& file = files[i];
            if (zoma::isPdfName(file)) {
                pdfs << file;
                continue;
            }
            const QString archiveDir = pdfDir.filePath(QString::number(i));
            if (!pdfDir.isValid() || !QDir().mkpath(archiveDir)) {
                run.dialogs.message(QStringLiteral("无法创建临时文件夹：%1")
                                        .arg(QDir::toNativeSeparators(archiveDir)));
                continue;
            }
            run.unpacking(QFileInfo(file).fileName());
            const bool done = unzip(file, libDir, archiveDir, run);
            run.unpacking(QString());
            if (!done) continue;
            // PDFs that came in the archive are taken like chosen ones.
            for (const QString& name : zoma::archivePdfNames(file)) {
                const QString extracted = QDir(archiveDir).filePath(name);
                if (QFileInfo(extracted).isFile()) {
                    pdfs << extracted;
                } else {
                    run.dialogs.message(NoPdfText.arg(name));
                }
            }
        }
        if (pdfs.isEmpty()) return;
        run.dialogs.message(zoma::importPdfFilesFromModule(pdfs, libDir, &run.progress).message);
    } catch (const std::bad_alloc&) {
        run.dialogs.message(QStringLiteral("内存不足"));
    }
}

bool Form3::unzip(const QString& archive, const QString& libDir, const QString& pdfDir,
                  ImportRun& run) {
    const bool holdsPdfs = !zoma::archivePdfNames(archive).isEmpty();
    const QString pdfs = zoma::pdfEntryPattern();
    bool done = true;
    if (holdsPdfs) {
        const int result = extract(archive, pdfDir, kNoPrompt, pdfs, QString());
        done = result == UnzipResult::Ok || result == UnzipResult::Warning;
        // An archive that cannot be opened has been named once.
        if (result == UnzipResult::NotArchive || result == UnzipResult::ArchiveBroken ||
            result == UnzipResult::Overlap || result == UnzipResult::BadOptions ||
            result == UnzipBridge::NoEngine) {
            return false;
        }
    }
    if (!holdsPdfs || zoma::archiveHoldsOtherEntries(archive)) {
        const int result =
            extract(archive, libDir, kPromptOverwrite, QString(), holdsPdfs ? pdfs : QString());
        // A failure has been shown with its number; only a complete import
        // (or one that skipped and named some entries) is reported as done.
        done = (result == UnzipResult::Ok || result == UnzipResult::Warning) && done;
    }
    if (done) run.dialogs.message(DoneText);
    return done;
}

int Form3::extract(const QString& archive, const QString& targetDir, qint16 promptOverwrite,
                   const QString& include, const QString& exclude) {
    m_bridge.UnzipMessages.clear();
    m_bridge.UnzipEntryCount = 0;
    m_bridge.UnzipIncludeNames[0] = include;
    m_bridge.UnzipExcludeNames[0] = exclude;
    return m_bridge.UnzipArchive(archive, targetDir, promptOverwrite, kOverwriteExisting,
                                 kExtractNotList, kDropFolders, include.isEmpty() ? kEveryEntry : 1,
                                 exclude.isEmpty() ? kNoExclusions : 1);
}

void Form3::Command2_Click() {
    close();
}

void Form3::closeEvent(QCloseEvent* event) {
    if (!importing()) {
        event->accept();
        return;
    }
    // Closed now, the window would be deleted under the import that runs
    // from its button; it goes once the import has ended and said how.
    m_closeWhenDone = true;
    m_run->progress.cancel();
    event->ignore();
}
