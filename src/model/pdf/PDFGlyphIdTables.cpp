#include "PDFGlyphIdTables.h"

#include <algorithm>
#include <cstring>

namespace {

// The highest CID `cmap` maps, through the maps it builds on as well; -1 when it maps none.
int highestCid(const pdf_cmap *cmap)
{
    int highest = -1;
    for (int depth = 0; cmap && depth < 8; cmap = cmap->usecmap, ++depth) {
        for (int i = 0; i < cmap->rlen; ++i)
            highest = std::max(highest, int(cmap->ranges[i].high));
        for (int i = 0; i < cmap->xlen; ++i)
            highest = std::max(highest, int(std::min(cmap->xranges[i].high, 0xFFFFu)));
        for (int i = 0; i < cmap->mlen; ++i)
            highest = std::max(highest, int(std::min(cmap->mranges[i].low, 0xFFFFu)));
    }
    return highest;
}

// A font whose glyphs are found character by character through a map from CIDs to Unicode:
// a substitute for a CID font the file does not embed. Vertical writing swaps some
// characters for presentation forms on the way, which a table by CID would lose.
bool needsTable(const pdf_font_desc *font)
{
    return font->to_ttf_cmap && !font->cid_to_gid && font->wmode == 0 && font->font && font->font->ft_face;
}

} // namespace

const PDFGlyphIdTables::Table &PDFGlyphIdTables::table(fz_context *ctx, int objectNumber, pdf_font_desc *font)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_tables.find(objectNumber);
    if (found != m_tables.end())
        return found->second;
    // Every CID a two-byte code can give (larger ones are outside the format): those above
    // the highest the map knows all miss it alike.
    Table ids(0x10000);
    const size_t firstUnmapped = size_t(std::min(highestCid(font->to_ttf_cmap), 0xFFFE) + 1);
    for (size_t cid = 0; cid <= firstUnmapped; ++cid)
        ids[cid] = (unsigned short)pdf_font_cid_to_gid(ctx, font, int(cid));
    std::fill(ids.begin() + ptrdiff_t(firstUnmapped) + 1, ids.end(), ids[firstUnmapped]);
    return m_tables.emplace(objectNumber, std::move(ids)).first->second;
}

void PDFGlyphIdTables::prepare(fz_context *ctx, fz_page *page)
{
    pdf_page *pdfPage = pdf_page_from_fz_page(ctx, page);
    if (!pdfPage)
        return;
    pdf_obj *resources = nullptr;
    pdf_obj *fonts = nullptr;
    fz_try(ctx)
    {
        resources = pdf_page_resources(ctx, pdfPage);
        fonts = pdf_dict_get(ctx, resources, PDF_NAME(Font));
    }
    fz_catch(ctx)
    {
        return;
    }
    const int count = pdf_dict_len(ctx, fonts);
    for (int i = 0; i < count; ++i) {
        pdf_obj *entry = pdf_dict_get_val(ctx, fonts, i);
        if (pdf_is_indirect(ctx, entry)) // a font not stored apart is loaded anew for every page
            prepareFont(ctx, pdfPage->doc, resources, entry);
    }
}

void PDFGlyphIdTables::prepareFont(fz_context *ctx, pdf_document *document, pdf_obj *resources, pdf_obj *entry)
{
    pdf_font_desc *font = nullptr;
    fz_var(font);
    fz_try(ctx)
    {
        font = pdf_load_font(ctx, document, resources, entry);
        if (needsTable(font)) {
            const Table &ids = table(ctx, pdf_to_num(ctx, entry), font);
            // MuPDF frees the table with the font.
            auto *copy = static_cast<unsigned short *>(fz_malloc(ctx, ids.size() * sizeof(unsigned short)));
            std::memcpy(copy, ids.data(), ids.size() * sizeof(unsigned short));
            font->cid_to_gid = copy;
            font->cid_to_gid_len = ids.size();
            pdf_drop_cmap(ctx, font->to_ttf_cmap);
            font->to_ttf_cmap = nullptr;
        }
    }
    fz_always(ctx)
    {
        pdf_drop_font(ctx, font);
    }
    fz_catch(ctx)
    {
        // The page's own run meets the same font, and reports it or draws with a stand-in.
    }
}
