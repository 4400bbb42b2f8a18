#include "PDFPageTree.h"

#include "PDFPage.h"

#include <QtGlobal>

#include <cmath>

namespace {

// The size a page gets when its own geometry cannot be read or is out of bounds: A4 portrait.
constexpr fz_rect kFallbackBounds = {0, 0, 595, 842};

// The page's box and /Rotate; `geometry` stays as it was when they cannot be read or the
// box is out of PDFPage's bounds.
void readGeometry(fz_context *ctx, pdf_obj *pageObject, PDFPageGeometry *geometry)
{
    int rotate = 0;
    fz_rect box = fz_empty_rect;
    fz_matrix ctm = fz_identity;
    int ok = 0;
    fz_var(rotate);
    fz_var(box);
    fz_var(ctm);
    fz_var(ok);
    fz_try(ctx)
    {
        rotate = pdf_to_int(ctx, pdf_dict_get_inheritable(ctx, pageObject, PDF_NAME(Rotate)));
        pdf_page_obj_transform(ctx, pageObject, &box, &ctm);
        box = fz_transform_rect(box, ctm);
        const float width = box.x1 - box.x0;
        const float height = box.y1 - box.y0;
        // Written so that NaN fails too.
        ok = width > 0 && height > 0 && width <= float(PDFPage::maximumSide) && height <= float(PDFPage::maximumSide)
            && std::isfinite(box.x0) && std::isfinite(box.y0);
    }
    fz_catch(ctx)
    {
        ok = 0;
    }
    if (!ok)
        return;
    geometry->bounds = box;
    geometry->fileRotation = PDFPage::normalizedRotation(rotate);
}

// The page tree's deepest level that is walked; real trees are a few levels deep.
constexpr int kMaxTreeDepth = 64;

struct TreeLevel {
    pdf_obj *node; // kept
    pdf_obj *kids; // borrowed from node
    int next;
    int count;
    int pagesBefore; // pages found before this node
};

// The pages of the page tree in page order, at most `limit`, found in one walk: each page's
// geometry goes to `geometry` and its object to `pages` (both with room for `limit`; a page
// whose geometry cannot be read keeps what `geometry` held). Returns how many were found.
// `*damaged` is set when the tree is not one the engine's own page lookup can be trusted on.
//
// A node with a Kids array is inner, anything else a page; a page is an indirect reference to
// a dictionary. A tree that lists one subtree many times over claims far more pages than its
// file holds, and a lookup per page index would walk it once per page: this walk costs no
// more than the pages it yields (at most 4 steps each, plus a margin). A node met again
// below itself, and anything deeper than kMaxTreeDepth, is skipped. Page objects are not
// kept: one object may stand for thousands of pages, past what its reference count can hold.
//
// Damaged: a node whose /Count differs from the pages below it, a node or page whose /Type
// says otherwise, a page that is not an indirect dictionary, a cycle, or a walk cut short.
// The engine navigates by /Count, and on some such trees never returns (a null page below a
// direct node).
int readPageTree(
    fz_context *ctx, pdf_document *pdf, int limit, PDFPageGeometry *geometry, PDFPageReference *pages, int *damaged)
{
    TreeLevel levels[kMaxTreeDepth];
    int depth = 0;
    int found = 0;
    fz_var(levels);
    fz_var(depth);
    fz_var(found);
    *damaged = 1;
    fz_try(ctx)
    {
        pdf_obj *root = pdf_resolve_indirect_chain(ctx, pdf_dict_getp(ctx, pdf_trailer(ctx, pdf), "Root/Pages"));
        pdf_obj *rootKids = pdf_dict_get(ctx, root, PDF_NAME(Kids));
        if (!pdf_is_array(ctx, rootKids))
            break;
        levels[0] = TreeLevel {pdf_keep_obj(ctx, root), rootKids, 0, pdf_array_len(ctx, rootKids), 0};
        depth = 1;
        int clean = pdf_name_eq(ctx, pdf_dict_get(ctx, root, PDF_NAME(Type)), PDF_NAME(Pages));
        qint64 steps = 4 * qint64(limit) + 1024;
        for (; depth > 0 && steps > 0; --steps) {
            TreeLevel &level = levels[depth - 1];
            if (level.next >= level.count) {
                clean = clean && pdf_dict_get_int(ctx, level.node, PDF_NAME(Count)) == found - level.pagesBefore;
                pdf_drop_obj(ctx, level.node);
                --depth;
                continue;
            }
            pdf_obj *reference = pdf_array_get(ctx, level.kids, level.next++);
            pdf_obj *kid = pdf_resolve_indirect_chain(ctx, reference);
            pdf_obj *kids = pdf_dict_get(ctx, kid, PDF_NAME(Kids));
            pdf_obj *type = pdf_dict_get(ctx, kid, PDF_NAME(Type));
            if (!pdf_is_array(ctx, kids)) {
                if (!pdf_is_indirect(ctx, reference) || !pdf_is_dict(ctx, kid)) {
                    clean = 0;
                    continue;
                }
                if (found == limit) {
                    clean = 0; // more pages than the root claims, or than are taken
                    break;
                }
                clean = clean && pdf_name_eq(ctx, type, PDF_NAME(Page));
                pages[found] = PDFPageReference {pdf_to_num(ctx, reference), pdf_to_gen(ctx, reference)};
                readGeometry(ctx, kid, &geometry[found++]);
                continue;
            }
            clean = clean && pdf_name_eq(ctx, type, PDF_NAME(Pages));
            bool cycle = false;
            for (int i = 0; i < depth; ++i)
                cycle = cycle || levels[i].node == kid;
            if (cycle || depth == kMaxTreeDepth) {
                clean = 0;
                continue;
            }
            levels[depth++] = TreeLevel {pdf_keep_obj(ctx, kid), kids, 0, pdf_array_len(ctx, kids), found};
        }
        *damaged = !clean || depth > 0;
    }
    fz_always(ctx)
    {
        while (depth > 0)
            pdf_drop_obj(ctx, levels[--depth].node);
    }
    fz_catch(ctx)
    {
        // The pages found before the damage stand.
    }
    return found;
}

// Fills `node` as a /Pages node over pages[first, first + count), in groups of `perGroup`.
void fillPagesNode(fz_context *ctx, pdf_document *pdf, pdf_obj *node, const PDFPageReference *pages, int first,
    int count, int perGroup)
{
    const int groups = (count + perGroup - 1) / perGroup;
    pdf_obj *kids = pdf_dict_put_array(ctx, node, PDF_NAME(Kids), groups > 1 ? groups : count);
    if (groups > 1) {
        for (int g = 0; g < groups; ++g) {
            pdf_obj *group = pdf_array_push_dict(ctx, kids, 3);
            const int from = first + g * perGroup;
            fillPagesNode(ctx, pdf, group, pages, from, std::min(perGroup, first + count - from), perGroup);
        }
    } else {
        for (int i = first; i < first + count; ++i)
            pdf_array_push_drop(ctx, kids, pdf_new_indirect(ctx, pdf, pages[i].num, pages[i].gen));
    }
    pdf_dict_put_int(ctx, node, PDF_NAME(Count), count);
    pdf_dict_put(ctx, node, PDF_NAME(Type), PDF_NAME(Pages));
}

} // namespace

namespace PDFPageTree {

bool read(fz_context *ctx, pdf_document *pdf, int pageCount, std::vector<PDFPageGeometry> *geometry,
    std::vector<PDFPageReference> *pages)
{
    geometry->assign(size_t(pageCount), PDFPageGeometry {kFallbackBounds, 0});
    pages->assign(size_t(pageCount), PDFPageReference {0, 0});
    int damaged = 0;
    const int found = readPageTree(ctx, pdf, pageCount, geometry->data(), pages->data(), &damaged);
    pages->resize(size_t(found));
    // Left as it is, a damaged tree could hang the first lookup of a page.
    return !damaged || pageCount == 0 || index(ctx, pdf, *pages);
}

bool index(fz_context *ctx, pdf_document *pdf, const std::vector<PDFPageReference> &pages)
{
    int ok = 0;
    fz_var(ok);
    fz_try(ctx)
    {
        const int count = int(pages.size());
        const int perGroup = std::max(16, int(std::ceil(std::sqrt(double(count)))));
        pdf_obj *root = pdf_resolve_indirect_chain(ctx, pdf_dict_getp(ctx, pdf_trailer(ctx, pdf), "Root/Pages"));
        if (pdf_is_dict(ctx, root)) {
            fillPagesNode(ctx, pdf, root, pages.data(), 0, count, perGroup);
            ok = 1;
        }
    }
    fz_catch(ctx)
    {
        ok = 0;
    }
    return ok;
}

} // namespace PDFPageTree
