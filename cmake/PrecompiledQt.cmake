# GCC parses the Qt headers once for each Qt floor and every library, program and
# test of that floor reuses them: most of what a unit compiles is Qt's headers.
# Clang refuses a header precompiled with other macros (each test has its own), so
# only GCC builds use them.
option(KOBIN_PCH "Precompile the Qt headers (GCC)" ON)

set(kobin_qt_core_headers <QtCore/QtCore> <algorithm> <functional> <memory> <optional> <utility> <vector>)
set(kobin_qt_gui_headers ${kobin_qt_core_headers}
  <QtGui/QColor> <QtGui/QFont> <QtGui/QGuiApplication> <QtGui/QIcon> <QtGui/QImage> <QtGui/QKeyEvent>
  <QtGui/QPixmap> <QtGui/QTextBlock> <QtGui/QTextCharFormat> <QtGui/QTextCursor> <QtGui/QTextDocument>
  <QtGui/QTextDocumentFragment> <QtGui/QTextFrame> <QtGui/QTextList> <QtGui/QTextTable>)
set(kobin_qt_widgets_headers ${kobin_qt_gui_headers}
  <QtGui/QAction> <QtWidgets/QApplication> <QtWidgets/QCheckBox> <QtWidgets/QComboBox>
  <QtWidgets/QDialog> <QtWidgets/QDialogButtonBox> <QtWidgets/QGridLayout> <QtWidgets/QHBoxLayout>
  <QtWidgets/QLabel> <QtWidgets/QLineEdit> <QtWidgets/QMainWindow> <QtWidgets/QMenu> <QtWidgets/QMessageBox>
  <QtWidgets/QPushButton> <QtWidgets/QSplitter> <QtWidgets/QTextEdit> <QtWidgets/QToolBar>
  <QtWidgets/QTreeView> <QtWidgets/QVBoxLayout> <QtWidgets/QWidget>)

# The Qt floor a target stands on: the highest Qt module it reaches through its libraries.
function(kobin_qt_floor target result)
  set(floor core)
  set(pending ${target})
  set(seen)
  while(pending)
    list(POP_FRONT pending next)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" next "${next}")
    if(next IN_LIST seen OR NOT TARGET ${next})
      continue()
    endif()
    list(APPEND seen ${next})
    if(next MATCHES "^Qt6::(Widgets|WebEngine|Help)")
      set(${result} widgets PARENT_SCOPE)
      return()
    elseif(next STREQUAL "Qt6::Gui")
      set(floor gui)
    endif()
    if(NOT next MATCHES "::")
      get_target_property(libraries ${next} LINK_LIBRARIES)
      if(libraries)
        list(APPEND pending ${libraries})
      endif()
    endif()
    get_target_property(interface ${next} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND pending ${interface})
    endif()
  endwhile()
  set(${result} ${floor} PARENT_SCOPE)
endfunction()

function(kobin_targets_below directory result)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory ${subdirectories})
    kobin_targets_below(${subdirectory} below)
    list(APPEND targets ${below})
  endforeach()
  set(${result} ${targets} PARENT_SCOPE)
endfunction()

# Gives every compiled target of the project the precompiled Qt headers of its floor.
function(kobin_precompile_qt)
  if(NOT KOBIN_PCH OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
  endif()
  foreach(floor core gui widgets)
    add_library(kobin_qt_${floor} OBJECT ${PROJECT_SOURCE_DIR}/cmake/QtFloor.cpp)
    target_precompile_headers(kobin_qt_${floor} PRIVATE ${kobin_qt_${floor}_headers})
  endforeach()
  target_link_libraries(kobin_qt_core PRIVATE Qt6::Core)
  target_link_libraries(kobin_qt_gui PRIVATE Qt6::Gui)
  target_link_libraries(kobin_qt_widgets PRIVATE Qt6::Widgets)
  kobin_targets_below(${PROJECT_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|MODULE_LIBRARY|SHARED_LIBRARY|EXECUTABLE)$" AND NOT target MATCHES "^kobin_qt_")
      kobin_qt_floor(${target} floor)
      target_precompile_headers(${target} REUSE_FROM kobin_qt_${floor})
      # A program's moc unit is all but empty (a test includes its own moc): loading the
      # precompiled headers would take longer than compiling it.
      if(type STREQUAL "EXECUTABLE")
        get_target_property(binary_dir ${target} BINARY_DIR)
        set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp TARGET_DIRECTORY ${target}
                                    PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
      endif()
    endif()
  endforeach()
endfunction()
