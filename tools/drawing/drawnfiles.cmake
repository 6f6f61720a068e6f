# The files the drawing tools write, which resource scripts embed. The build
# names them as the tools' outputs, so that a run which redraws one remakes
# what embeds it; each tool is handed its list and refuses one that is not
# what it draws.
set(VELTRAN_ALARM_ICONS)
foreach(i RANGE 1 16)
  string(REGEX REPLACE "^(.)$" "0\\1" n "${i}")
  list(APPEND VELTRAN_ALARM_ICONS "${n}.ico")
endforeach()
set(VELTRAN_BROWSER_ART background.jpg nopreview.jpg buttons_normal.jpg buttons_hover.jpg buttons_pressed.jpg)
