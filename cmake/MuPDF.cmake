# Imported target for the static MuPDF archive shipped by Debian's libmupdf-dev and the
# system libraries it was built against. Only the engine boundary links it.
find_path(MUPDF_INCLUDE_DIR mupdf/fitz.h REQUIRED)
find_library(MUPDF_LIBRARY NAMES mupdf REQUIRED)
find_library(MUPDF_THIRD_LIBRARY NAMES mupdf-third REQUIRED)
pkg_check_modules(MUPDF_DEPS REQUIRED IMPORTED_TARGET freetype2 harfbuzz libopenjp2 zlib)
find_library(JBIG2DEC_LIBRARY NAMES jbig2dec REQUIRED)
find_library(JPEG_LIBRARY NAMES jpeg REQUIRED)
find_library(GUMBO_LIBRARY NAMES gumbo REQUIRED)
find_library(MUJS_LIBRARY NAMES mujs REQUIRED)

add_library(MuPDF::MuPDF INTERFACE IMPORTED)
target_include_directories(MuPDF::MuPDF SYSTEM INTERFACE ${MUPDF_INCLUDE_DIR})
target_link_libraries(MuPDF::MuPDF INTERFACE
  ${MUPDF_LIBRARY} ${MUPDF_THIRD_LIBRARY} PkgConfig::MUPDF_DEPS
  ${JBIG2DEC_LIBRARY} ${JPEG_LIBRARY} ${GUMBO_LIBRARY} ${MUJS_LIBRARY} m Threads::Threads)
