# Writes a pseudo-translation of the template: every text the library offers
# for translation comes back in brackets, so a text shown without them on
# screen is one a translator never sees.
#   cmake -DIN=qorOrvaneUI.ts -DOUT=qorOrvaneUI_pseudo.ts -P PseudoTranslation.cmake
file(READ ${IN} ts)
# Texts are escaped XML: the only markup inside a source is a control character
# written as <byte value="xd"/>.
set(text "((<byte value=\"x[0-9a-f]+\"/>|[^<])*)")
string(REGEX REPLACE
  "<source>${text}</source>([ \n]*)<translation type=\"unfinished\"></translation>"
  "<source>\\1</source>\\3<translation>[\\1]</translation>" ts "${ts}")
string(REGEX REPLACE
  "<source>${text}</source>([ \n]*)<translation type=\"unfinished\">([ \n]*)<numerusform></numerusform>"
  "<source>\\1</source>\\3<translation>\\4<numerusform>[\\1]</numerusform>" ts "${ts}")
file(WRITE ${OUT} "${ts}")
