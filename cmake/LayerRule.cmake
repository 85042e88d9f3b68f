# The layer rule of DESIGN.md, checked every time the project is configured: a library may
# reach, directly or through what it links, only the folders below it. A link added against the
# rule stops the configuration with the path that breaks it.

# Every target of ours that target reaches through its link libraries (itself excluded), and the
# imported ones (Qt6::Widgets, ...), as a list in out.
function(sgx_reached target out)
  set(seen "")
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo current)
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(libraries ${current} ${property})
      if(NOT libraries)
        continue()
      endif()
      foreach(library IN LISTS libraries)
        # A private link of a static library shows as $<LINK_ONLY:name>.
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" library "${library}")
        if(TARGET ${library} AND NOT library IN_LIST seen)
          list(APPEND seen ${library})
          list(APPEND todo ${library})
        endif()
      endforeach()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Stops when target reaches a target of ours (sgx_*) that the regular expression allowed does not
# match, or one of the imported targets after FORBID (Qt6::Widgets, ...).
function(sgx_layer_rule target allowed why)
  cmake_parse_arguments(PARSE_ARGV 3 rule "" "" FORBID)
  if(NOT TARGET ${target})
    return()
  endif()
  sgx_reached(${target} reached)
  foreach(library IN LISTS reached)
    if((library MATCHES "^sgx_" AND NOT library MATCHES "${allowed}") OR library IN_LIST rule_FORBID)
      message(FATAL_ERROR "layer rule: ${target} reaches ${library}; ${why} (DESIGN.md)")
    endif()
  endforeach()
endfunction()

set(no_widgets FORBID Qt6::Gui Qt6::Widgets)
set(plain_cpp FORBID Qt6::Core Qt6::Gui Qt6::Widgets)
# The leaves: plain C++ below everything else.
sgx_layer_rule(sgx_bytes "^$" "bytes/ is the leaf below the link and edid/" ${plain_cpp})
sgx_layer_rule(sgx_platform "^$" "platform/ is the one seam to the operating system, plain C++" ${plain_cpp})
sgx_layer_rule(sgx_files "^sgx_platform$" "files/ stands on the platform alone, plain C++" ${plain_cpp})
sgx_layer_rule(sgx_trace "^sgx_(files|platform)$" "the trace is plain C++ the emulator writes too" ${plain_cpp})
sgx_layer_rule(sgx_process "^sgx_platform$" "how a program hears of signals stands on the platform alone"
               ${no_widgets})
sgx_layer_rule(sgx_link "^sgx_(bytes|platform)$" "the link links no folder of ours but bytes and platform"
               ${no_widgets})
sgx_layer_rule(sgx_serial_trace "^sgx_(bytes|platform|files|trace|link)$" "the traced port is the trace over the link"
               ${no_widgets})
sgx_layer_rule(sgx_gridmodel "^$" "the grid models are plain Qt Core" ${no_widgets})
sgx_layer_rule(sgx_monitor "^sgx_(bytes|platform|files|link|trace)$"
               "the line monitor's store and words serve both front ends" ${no_widgets})
sgx_layer_rule(sgx_ui "^sgx_gridmodel$" "ui/ links no protocol library: a window hands a shared widget what to call")

# The domains, and their windows over them, ui/ and the link.
sgx_layer_rule(sgx_timing "^sgx_gridmodel$" "the timing table stands on its own" ${no_widgets})
sgx_layer_rule(sgx_pattern "^sgx_gridmodel$" "the pattern table stands on its own" ${no_widgets})
sgx_layer_rule(sgx_program "^sgx_(gridmodel|timing|pattern)$" "a program's steps name timings and patterns"
               ${no_widgets})
sgx_layer_rule(sgx_edid "^sgx_(bytes|platform|files)$" "edid/ stands on bytes and files, not on the protocol"
               ${no_widgets})
sgx_layer_rule(sgx_handover "^sgx_(bytes|platform|files|link|gridmodel|timing|pattern|program|edid)$"
               "the shared values hold no widgets" ${no_widgets})
set(window_base "bytes|platform|files|link|gridmodel|ui")
sgx_layer_rule(sgx_link_ui "^sgx_(${window_base})$" "a folder's windows stand on it and ui/")
sgx_layer_rule(sgx_timing_ui "^sgx_(${window_base}|timing)$" "a folder's windows stand on it, ui/ and the link")
sgx_layer_rule(sgx_pattern_ui "^sgx_(${window_base}|pattern)$" "a folder's windows stand on it, ui/ and the link")
sgx_layer_rule(sgx_program_ui "^sgx_(${window_base}|timing|pattern|program)$"
               "a folder's windows stand on it, ui/ and the link")
sgx_layer_rule(sgx_edid_ui "^sgx_(${window_base}|edid)$" "a folder's windows stand on it, ui/ and the link")

# The front ends and the emulator.
set(plain_folders
    "bytes|platform|files|link|gridmodel|timing|pattern|program|edid|handover|trace|serial_trace|monitor|process")
foreach(front sgx_cli sgxctl)
  sgx_layer_rule(${front} "^sgx_(${plain_folders}|cli)$" "sgxctl links no widgets and no library of the emulator"
                 ${no_widgets})
endforeach()
foreach(app sgx_app sgxcontrol)
  sgx_layer_rule(${app} "^sgx_(${plain_folders}|ui|link_ui|timing_ui|pattern_ui|program_ui|edid_ui|app)$"
                 "the program links neither the emulator nor the test support")
endforeach()
foreach(emulator sgx_sim sgx100-sim)
  sgx_layer_rule(${emulator} "^sgx_(platform|files|trace|sim)$" "the emulator is an independent reading of the protocol")
endforeach()
