// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bank/question_bank.h"
#include "import/unzip_bridge.h"
#include "ui/dialogs.h"

#include <QStringList>
#include <QWidget>

#include <memory>

struct ImportRun;

namespace Ui {
class Form3;
}

// The import window: choose the question-bank package and unpack it into the
// library folder.
class Form3 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form3)

public:
    Form3(SharedValues& values, Dialogs& dialogs, UnzipBridge& bridge, QWidget* parent = nullptr);
    ~Form3() override;

    static const QString Filter;
    static const QString DoneText;
    static const QString NoLibDirText;
    static const QString NoPdfText;
    static const QString NotRegularText;
    static const QString ImportingText;
    static const QString UnzippingText;
    static const QString CancellingText;
    static const QString SkippedText;

    // Whether an import is under way; closing the window meanwhile cancels
    // what can still be cancelled and closes it once the import has ended.
    bool importing() const { return m_run != nullptr; }

signals:
    // An import has ended, its messages answered.
    void importEnded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Command3_Click();
    void Command1_Click();
    void Command2_Click();

    std::unique_ptr<Ui::Form3> m_ui;
    SharedValues& m_values;
    Dialogs& m_dialogs;
    UnzipBridge& m_bridge;
    // Unpacks the files and reads the PDFs on another thread while a
    // progress dialog with a cancel button stands over the window; returns
    // when all is done.
    void importAway(const QStringList& files, const QString& libDir);
    // The import itself, on that thread; every box goes through dialogs.
    void importFiles(const QStringList& files, const QString& libDir, ImportRun& run);
    // Unpacks one archive as the import always has, except its PDFs, which
    // go into pdfDir to be read before anything of theirs reaches the
    // library; true when it went well.
    bool unzip(const QString& archive, const QString& libDir, const QString& pdfDir,
               ImportRun& run);
    int extract(const QString& archive, const QString& targetDir, qint16 promptOverwrite,
                const QString& include, const QString& exclude);
    ImportRun* m_run = nullptr;  // while an import runs
    bool m_closeWhenDone = false;

    QString m_fileName;   // the dialog's last chosen name, proposed again next time
    QStringList m_files;  // every file chosen with it
};
