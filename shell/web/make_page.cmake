cmake_minimum_required(VERSION 3.25)
# Writes the page from its template: the page's own script always inline;
# the intro's script inline when INTRO_SCRIPT names it (the one-file page,
# which opens from a file:// address), else loaded from quillon.js beside it.
file(READ ${TEMPLATE} page)
file(READ ${PAGE_SCRIPT} script)
if(INTRO_SCRIPT)
  file(READ ${INTRO_SCRIPT} intro)
  # Nothing inside a script element may close it early.
  string(REPLACE "</script" "<\\/script" intro "${intro}")
  set(intro_element "<script>\n${intro}\n</script>")
else()
  set(intro_element "<script src=\"quillon.js\"></script>")
endif()
string(REPLACE "/*PAGE_SCRIPT*/" "${script}" page "${page}")
string(REPLACE "<!--INTRO_SCRIPT-->" "${intro_element}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
