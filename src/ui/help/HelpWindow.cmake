# The help window around the card: its content, its presenter and the copied picture.
# Included by this folder's CMakeLists.txt after plenvo_help is defined.
target_sources(plenvo_help PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PDFViewerShortcutHelpRenderer.h ${CMAKE_CURRENT_LIST_DIR}/PDFViewerShortcutHelpRenderer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PDFViewerShortcutHelpPopover.h ${CMAKE_CURRENT_LIST_DIR}/PDFViewerShortcutHelpPopover.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PDFViewerShortcutHelpPresenter.h ${CMAKE_CURRENT_LIST_DIR}/PDFViewerShortcutHelpPresenter.cpp
)
target_link_libraries(plenvo_help PUBLIC plenvo_viewer plenvo_settings)
