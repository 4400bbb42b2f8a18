#include "PDFViewerStateFile.h"

#include "PDFViewerModel.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

PDFViewerStateFile::PDFViewerStateFile(PDFViewerModel *model, const QString &path, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_path(path)
{
    const auto rewrite = [this]() { write(); };
    connect(model, &PDFViewerModel::fileURLChanged, this, rewrite); // the title
    connect(model, &PDFViewerModel::pageIndexChanged, this, rewrite);
    connect(model, &PDFViewerModel::pageCountChanged, this, rewrite);
    connect(model, &PDFViewerModel::zoomPercentageChanged, this, rewrite);
    connect(model, &PDFViewerModel::isPresentationModeChanged, this, rewrite);
    connect(model, &PDFViewerModel::statusTextChanged, this, rewrite);
    connect(model, &PDFViewerModel::errorTextChanged, this, rewrite);
    connect(model, &PDFViewerModel::searchResultCountChanged, this, rewrite);
    write();
}

PDFViewerStateFile *PDFViewerStateFile::fromEnvironment(PDFViewerModel *model, QObject *parent)
{
    const QString path = qEnvironmentVariable("PLENVO_TEST_STATE_FILE");
    return path.isEmpty() ? nullptr : new PDFViewerStateFile(model, path, parent);
}

QByteArray PDFViewerStateFile::snapshot() const
{
    const QJsonObject state {
        {QStringLiteral("title"), m_model->documentTitle()},
        {QStringLiteral("pageIndex"), m_model->pageIndex()},
        {QStringLiteral("pageCount"), m_model->pageCount()},
        {QStringLiteral("zoomPercentage"), m_model->zoomPercentage()},
        {QStringLiteral("isPresentationMode"), m_model->isPresentationMode()},
        {QStringLiteral("statusText"), m_model->statusText()},
        {QStringLiteral("errorText"), m_model->hasError() ? m_model->errorText() : QString()},
        {QStringLiteral("searchResultCount"), m_model->searchResultCount()},
    };
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

bool PDFViewerStateFile::write() const
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = snapshot() + '\n';
    // commit() ignores a flush that fails while closing (Qt 6.4): flushing first keeps a
    // write cut short from replacing the file.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
