#include "PDFLayerState.h"

#include <algorithm>

namespace {

// Each MuPDF call below on its own, so that a throw costs only its own answer.

int layerCount(fz_context *ctx, pdf_document *pdf)
{
    int count = 0;
    fz_var(count);
    fz_try(ctx)
    {
        count = pdf_count_layers(ctx, pdf);
    }
    fz_catch(ctx)
    {
        count = 0;
    }
    return count;
}

// The document's /OCGs array, in whose order MuPDF numbers the layers; null when unreadable.
pdf_obj *layerArray(fz_context *ctx, pdf_document *pdf)
{
    pdf_obj *layers = nullptr;
    fz_var(layers);
    fz_try(ctx)
    {
        layers = pdf_dict_getp(ctx, pdf_trailer(ctx, pdf), "Root/OCProperties/OCGs");
    }
    fz_catch(ctx)
    {
        layers = nullptr;
    }
    return layers;
}

// The name MuPDF gives the layer's marked content (UTF-8); empty when it has none.
std::string layerName(fz_context *ctx, pdf_obj *layer)
{
    const char *name = nullptr;
    fz_var(name);
    fz_try(ctx)
    {
        name = pdf_dict_get_text_string(ctx, layer, PDF_NAME(Name));
    }
    fz_catch(ctx)
    {
        name = nullptr;
    }
    return name ? name : "";
}

bool layerEnabled(fz_context *ctx, pdf_document *pdf, int layer)
{
    int enabled = 1;
    fz_var(enabled);
    fz_try(ctx)
    {
        enabled = pdf_layer_is_enabled(ctx, pdf, layer);
    }
    fz_catch(ctx)
    {
        enabled = 1;
    }
    return enabled != 0;
}

void enableLayer(fz_context *ctx, pdf_document *pdf, int layer, bool enabled)
{
    fz_try(ctx)
    {
        pdf_enable_layer(ctx, pdf, layer, enabled);
    }
    fz_catch(ctx)
    {
        // The layer keeps its state; the caller reads back what the document holds.
    }
}

// The rows of a layer list read from the document's default configuration.
struct Rows {
    const std::vector<int> *layerObjects;
    PDFLayerList rows;
    std::vector<int> rowLayers; // per row, its layer's index; -1 for a heading
    int entriesLeft; // a list that holds itself is read only this far
};

constexpr int kMaximumDepth = 32;
constexpr int kMaximumRows = 10000;
constexpr int kMaximumEntries = 100000;

int layerIndex(fz_context *ctx, const std::vector<int> &layerObjects, pdf_obj *object)
{
    if (!pdf_is_indirect(ctx, object))
        return -1;
    const auto found = std::find(layerObjects.begin(), layerObjects.end(), pdf_to_num(ctx, object));
    return found == layerObjects.end() ? -1 : int(found - layerObjects.begin());
}

// Appends the rows of an /Order array: layers in order, a nested array one level deeper, a
// text at the head of an array as the heading of the rest. Throws as MuPDF does.
void readOrder(fz_context *ctx, pdf_obj *order, int depth, Rows &r)
{
    for (int i = 0, n = pdf_array_len(ctx, order); i < n && int(r.rows.size()) < kMaximumRows && --r.entriesLeft > 0;
         ++i) {
        pdf_obj *entry = pdf_array_get(ctx, order, i);
        const int layer = layerIndex(ctx, *r.layerObjects, entry);
        if (layer >= 0) {
            r.rows.append(PDFLayer {QString(), depth, PDFLayer::Kind::CheckBox, false, false});
            r.rowLayers.push_back(layer);
        } else if (pdf_is_string(ctx, entry)) {
            r.rows.append(PDFLayer {QString::fromUtf8(pdf_to_text_string(ctx, entry)), std::max(0, depth - 1),
                PDFLayer::Kind::Label, false, false});
            r.rowLayers.push_back(-1);
        } else if (pdf_is_array(ctx, entry) && depth < kMaximumDepth) {
            readOrder(ctx, entry, depth + 1, r);
        }
    }
}

// Reads the configuration's rows, radio groups (as layer indices) and locked layers; false
// when MuPDF throws.
bool readConfiguration(
    fz_context *ctx, pdf_document *pdf, Rows &r, std::vector<std::vector<int>> &groups, std::vector<int> &locked)
{
    int ok = 1;
    fz_var(ok);
    fz_try(ctx)
    {
        pdf_obj *config = pdf_dict_getp(ctx, pdf_trailer(ctx, pdf), "Root/OCProperties/D");
        readOrder(ctx, pdf_dict_get(ctx, config, PDF_NAME(Order)), 0, r);
        pdf_obj *radio = pdf_dict_get(ctx, config, PDF_NAME(RBGroups));
        for (int g = 0, n = pdf_array_len(ctx, radio); g < n; ++g) {
            pdf_obj *members = pdf_array_get(ctx, radio, g);
            groups.emplace_back();
            for (int i = 0, m = pdf_array_len(ctx, members); i < m; ++i)
                groups.back().push_back(layerIndex(ctx, *r.layerObjects, pdf_array_get(ctx, members, i)));
        }
        pdf_obj *fixed = pdf_dict_get(ctx, config, PDF_NAME(Locked));
        for (int i = 0, n = pdf_array_len(ctx, fixed); i < n; ++i)
            locked.push_back(layerIndex(ctx, *r.layerObjects, pdf_array_get(ctx, fixed, i)));
    }
    fz_catch(ctx)
    {
        ok = 0;
    }
    return ok != 0;
}

} // namespace

void PDFLayerState::read(fz_context *ctx, pdf_document *pdf, const std::vector<PDFPageReference> &pages)
{
    const int count = layerCount(ctx, pdf);
    if (count <= 0)
        return;
    pdf_obj *layers = layerArray(ctx, pdf);
    const bool listed = pdf_array_len(ctx, layers) == count;
    m_layerObjects.assign(size_t(count), -1);
    m_layerNames.assign(size_t(count), std::string());
    for (int i = 0; i < count && listed; ++i) {
        pdf_obj *layer = pdf_array_get(ctx, layers, i);
        m_layerObjects[size_t(i)] = pdf_is_indirect(ctx, layer) ? pdf_to_num(ctx, layer) : -1;
        m_layerNames[size_t(i)] = layerName(ctx, layer);
    }
    m_use = PDFLayerPageUse::read(ctx, pdf, pages, m_layerObjects);
    std::vector<std::string> names = m_layerNames;
    std::sort(names.begin(), names.end());
    m_namesDistinct = listed && !names.front().empty() && std::adjacent_find(names.begin(), names.end()) == names.end();

    Rows r {&m_layerObjects, {}, {}, kMaximumEntries};
    if (!listed || !readConfiguration(ctx, pdf, r, m_radioGroups, m_lockedLayers) || r.rows.isEmpty()) {
        // No list of its own: each layer is a row.
        r.rows.clear();
        r.rowLayers.clear();
        for (int i = 0; i < count; ++i) {
            r.rows.append(PDFLayer {QString(), 0, PDFLayer::Kind::CheckBox, false, false});
            r.rowLayers.push_back(i);
        }
    }
    m_rows = r.rows;
    m_rowLayers = r.rowLayers;
    for (int i = 0; i < m_rows.size(); ++i) {
        const int layer = m_rowLayers[size_t(i)];
        if (layer < 0)
            continue;
        PDFLayer &row = m_rows[i];
        row.name = QString::fromStdString(m_layerNames[size_t(layer)]);
        row.locked = isLocked(layer);
        if (!groupsOf(layer).empty())
            row.kind = PDFLayer::Kind::Radio;
    }
    m_visible.assign(size_t(count), 1);
    for (int i = 0; i < count; ++i)
        m_visible[size_t(i)] = char(layerEnabled(ctx, pdf, i));
    m_stale.assign(pages.size(), 0);
    published();
}

std::vector<int> PDFLayerState::groupsOf(int layer) const
{
    std::vector<int> groups;
    for (size_t g = 0; g < m_radioGroups.size(); ++g) {
        const std::vector<int> &members = m_radioGroups[g];
        if (std::find(members.begin(), members.end(), layer) != members.end())
            groups.push_back(int(g));
    }
    return groups;
}

bool PDFLayerState::isLocked(int layer) const
{
    return std::find(m_lockedLayers.begin(), m_lockedLayers.end(), layer) != m_lockedLayers.end();
}

void PDFLayerState::published()
{
    for (int i = 0; i < m_rows.size(); ++i) {
        const int layer = m_rowLayers[size_t(i)];
        m_rows[i].visible = layer >= 0 && m_visible[size_t(layer)];
    }
    publishHidden();
}

void PDFLayerState::publishHidden()
{
    auto hidden = std::make_shared<PDFHiddenLayerNames>();
    for (size_t i = 0; m_namesDistinct && i < m_visible.size(); ++i) {
        if (!m_visible[i])
            hidden->push_back(m_layerNames[i]);
    }
    std::sort(hidden->begin(), hidden->end());
    m_hidden = hidden->empty() ? nullptr : std::move(hidden);
}

std::shared_ptr<const PDFHiddenLayerNames> PDFLayerState::hiddenNames() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hidden;
}

PDFLayerList PDFLayerState::rows() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rows;
}

std::vector<int> PDFLayerState::setVisible(int row, bool visible)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (row < -1 || row >= m_rows.size())
        return {};
    const std::vector<char> before = m_visible;
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? int(m_rows.size()) - 1 : row;
    for (int i = first; i <= last; ++i) {
        const PDFLayer &r = m_rows[i];
        if (r.kind == PDFLayer::Kind::Label || r.locked || (row < 0 && visible && r.kind == PDFLayer::Kind::Radio))
            continue;
        const int layer = m_rowLayers[size_t(i)];
        // Shown, a layer of a radio group hides the others of its groups, unless they are locked.
        for (const int group : visible ? groupsOf(layer) : std::vector<int>()) {
            for (const int other : m_radioGroups[size_t(group)]) {
                if (other >= 0 && other != layer && !isLocked(other))
                    m_visible[size_t(other)] = 0;
            }
        }
        m_visible[size_t(layer)] = char(visible);
    }
    std::vector<int> changed;
    for (size_t i = 0; i < m_visible.size(); ++i) {
        if (m_visible[i] != before[i])
            changed.push_back(int(i));
    }
    if (changed.empty())
        return {};
    m_applied = false;
    published();
    std::vector<int> pages;
    for (int page = 0; page < int(m_use.size()); ++page) {
        const PDFLayerPageUse &u = m_use[size_t(page)];
        if (!u.any
            && std::find_first_of(u.layers.begin(), u.layers.end(), changed.begin(), changed.end()) == u.layers.end())
            continue;
        pages.push_back(page);
        if (!recordsEveryLayer(page))
            m_stale[size_t(page)] = 1;
    }
    return pages;
}

bool PDFLayerState::recordsEveryLayer(int pageIndex) const
{
    if (!m_namesDistinct || pageIndex < 0 || pageIndex >= int(m_use.size()))
        return false;
    const PDFLayerPageUse &u = m_use[size_t(pageIndex)];
    return u.byName && !u.any && !u.layers.empty();
}

bool PDFLayerState::isStale(int pageIndex) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return pageIndex >= 0 && pageIndex < int(m_stale.size()) && m_stale[size_t(pageIndex)];
}

bool PDFLayerState::beginRecording(fz_context *ctx, pdf_document *pdf, int pageIndex)
{
    const bool everyLayer = recordsEveryLayer(pageIndex);
    std::vector<char> state;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (pageIndex >= 0 && pageIndex < int(m_stale.size()))
            m_stale[size_t(pageIndex)] = 0;
        if (!everyLayer && m_applied)
            return false;
        state = everyLayer ? std::vector<char>(m_visible.size(), 1) : m_visible;
        m_applied = !everyLayer;
    }
    for (size_t i = 0; i < state.size(); ++i)
        enableLayer(ctx, pdf, int(i), state[i] != 0);
    return everyLayer;
}

void PDFLayerState::apply(fz_context *ctx, pdf_document *pdf)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_applied)
            return;
        m_applied = true;
    }
    applyTo(ctx, pdf);
}

void PDFLayerState::applyTo(fz_context *ctx, pdf_document *pdf) const
{
    std::vector<char> state;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        state = m_visible;
    }
    for (size_t i = 0; i < state.size(); ++i)
        enableLayer(ctx, pdf, int(i), state[i] != 0);
}
