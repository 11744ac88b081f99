# Prints the size and the RGB pixels of a picture as another program reads
# it: "W H" then one "R G B" line a pixel, rows from the top.
import sys
from PIL import Image

image = Image.open(sys.argv[1]).convert("RGB")
print(image.width, image.height)
for r, g, b in image.getdata():
    print(r, g, b)
