#include "PDFLayerPageUse.h"

#include <algorithm>
#include <map>
#include <unordered_set>

namespace {

// Objects a page's layer scan visits before it gives up and takes the page as using any layer,
// and all the scans of a document together before the rest of its pages are taken so unread.
constexpr int kScanBudget = 20000;
constexpr int kDocumentScanBudget = 2000000;

struct Scan {
    const std::vector<int> *layerObjects;
    std::vector<pdf_obj *> todo;
    std::unordered_set<int> seen;
    std::vector<int> layers;
    bool any = false;
    bool byName = true;
    int *documentBudget; // shared by the document's scans
};

// Walks what a page draws from (its resources and annotations), never its content or its
// parents, noting the layers it reaches and what hides content other than by marked content.
// Throws as MuPDF does.
void scan(fz_context *ctx, Scan &s)
{
    int budget = kScanBudget;
    while (!s.todo.empty() && !s.any) {
        pdf_obj *object = s.todo.back();
        s.todo.pop_back();
        if (--budget < 0 || --*s.documentBudget < 0) {
            s.any = true;
            break;
        }
        if (pdf_is_indirect(ctx, object)) {
            const int number = pdf_to_num(ctx, object);
            if (!s.seen.insert(number).second)
                continue;
            const auto found = std::find(s.layerObjects->begin(), s.layerObjects->end(), number);
            if (found != s.layerObjects->end()) {
                s.layers.push_back(int(found - s.layerObjects->begin()));
                continue;
            }
        }
        object = pdf_resolve_indirect_chain(ctx, object);
        if (pdf_is_array(ctx, object)) {
            for (int i = 0, n = pdf_array_len(ctx, object); i < n; ++i)
                s.todo.push_back(pdf_array_get(ctx, object, i));
        } else if (pdf_is_dict(ctx, object)) {
            pdf_obj *type = pdf_dict_get(ctx, object, PDF_NAME(Type));
            if (pdf_name_eq(ctx, type, PDF_NAME(OCG)))
                s.any = true; // a layer the document does not list
            if (pdf_name_eq(ctx, type, PDF_NAME(OCMD)) || pdf_dict_get(ctx, object, PDF_NAME(OC)))
                s.byName = false;
            for (int i = 0, n = pdf_dict_len(ctx, object); i < n; ++i) {
                pdf_obj *key = pdf_dict_get_key(ctx, object, i);
                if (!pdf_name_eq(ctx, key, PDF_NAME(Parent)) && !pdf_name_eq(ctx, key, PDF_NAME(P)))
                    s.todo.push_back(pdf_dict_get_val(ctx, object, i));
            }
        }
    }
}

// What `root` reaches: `s.any` when MuPDF throws.
void scanFrom(fz_context *ctx, pdf_obj *root, Scan &s)
{
    s.todo.push_back(root);
    fz_try(ctx)
    {
        scan(ctx, s);
    }
    fz_catch(ctx)
    {
        s.any = true;
    }
    std::sort(s.layers.begin(), s.layers.end());
    s.layers.erase(std::unique(s.layers.begin(), s.layers.end()), s.layers.end());
}

// The resources and annotations page `reference` draws from; false when MuPDF throws. Both
// belong to the document.
bool pageRoots(fz_context *ctx, pdf_document *pdf, PDFPageReference reference, pdf_obj **resources, pdf_obj **annots)
{
    pdf_obj *page = nullptr;
    int ok = 1;
    fz_var(page);
    fz_var(ok);
    fz_try(ctx)
    {
        page = pdf_new_indirect(ctx, pdf, reference.num, reference.gen);
        *resources = pdf_dict_get_inheritable(ctx, page, PDF_NAME(Resources));
        *annots = pdf_dict_get(ctx, page, PDF_NAME(Annots));
    }
    fz_always(ctx)
    {
        pdf_drop_obj(ctx, page);
    }
    fz_catch(ctx)
    {
        ok = 0;
    }
    return ok != 0;
}

} // namespace

std::vector<PDFLayerPageUse> PDFLayerPageUse::read(fz_context *ctx, pdf_document *pdf,
    const std::vector<PDFPageReference> &pages, const std::vector<int> &layerObjects)
{
    std::vector<PDFLayerPageUse> uses;
    // Pages mostly share one resource dictionary: each is walked once.
    std::map<int, PDFLayerPageUse> byResources;
    int budget = kDocumentScanBudget;
    uses.reserve(pages.size());
    for (const PDFPageReference &reference : pages) {
        pdf_obj *resources = nullptr;
        pdf_obj *annots = nullptr;
        if (!pageRoots(ctx, pdf, reference, &resources, &annots)) {
            uses.push_back(PDFLayerPageUse {{}, true, false});
            continue;
        }
        const int shared = pdf_is_indirect(ctx, resources) ? pdf_to_num(ctx, resources) : -1;
        auto known = byResources.find(shared);
        if (shared < 0 || known == byResources.end()) {
            Scan s {&layerObjects, {}, {}, {}, false, true, &budget};
            scanFrom(ctx, resources, s);
            known = byResources.insert_or_assign(shared, PDFLayerPageUse {s.layers, s.any, s.byName && !s.any}).first;
        }
        PDFLayerPageUse use = known->second;
        if (annots) {
            Scan s {&layerObjects, {}, {}, {}, false, true, &budget};
            scanFrom(ctx, annots, s);
            use.layers.insert(use.layers.end(), s.layers.begin(), s.layers.end());
            std::sort(use.layers.begin(), use.layers.end());
            use.layers.erase(std::unique(use.layers.begin(), use.layers.end()), use.layers.end());
            use.any = use.any || s.any;
            use.byName = use.byName && s.byName && !s.any;
        }
        uses.push_back(std::move(use));
    }
    return uses;
}
