#!/usr/bin/python3
"""A phone in headless Chromium for the remote's end-to-end test.

browser_phone.py URL: opens the page, waits for the players' buttons, warns cone 1 and drops out
cone 2 (each confirmed by a second tap), then opens a second browser on the same address and
checks that it is held until the laptop allows it. Prints one JSON line with what it saw; the
C++ test that started it checks the laptop's table. Exit 0 unless the browser could not run.
"""
import json
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--no-first-run", "--disable-background-networking", "--disable-extensions"):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def status(driver):
    return driver.find_element(By.ID, "status").text


def confirm(driver, cone, kind):
    selector = f'button[data-cone="{cone}"][data-type="{kind}"]'
    wait = WebDriverWait(driver, 20)
    wait.until(lambda d: d.find_element(By.CSS_SELECTOR, selector).is_enabled())
    driver.find_element(By.CSS_SELECTOR, selector).click()
    driver.find_element(By.CSS_SELECTOR, selector).click()
    wait.until(lambda d: status(d) == "Hecho" or status(d).startswith("Rechazado"))
    return status(driver)


def main():
    url = sys.argv[1]
    seen = {}
    first = browser()
    try:
        started = time.monotonic()
        first.get(url)
        WebDriverWait(first, 20).until(lambda d: d.find_elements(By.CSS_SELECTOR, ".card"))
        seen["names"] = [e.text for e in first.find_elements(By.CSS_SELECTOR, ".who span:nth-child(2)")]
        seen["warning"] = confirm(first, 1, "warning")
        seen["dropout"] = confirm(first, 2, "dropout")
        WebDriverWait(first, 20).until(
            lambda d: "out" in d.find_element(By.CSS_SELECTOR, 'button[data-cone="2"]').find_element(
                By.XPATH, "../..").get_attribute("class"))
        seen["seconds"] = round(time.monotonic() - started, 2)
        second = browser()
        try:
            second.get(url)
            WebDriverWait(second, 20).until(lambda d: "waiting" in d.find_element(By.TAG_NAME, "body").get_attribute("class"))
            seen["secondHeld"] = True
        finally:
            second.quit()
    finally:
        first.quit()
    print(json.dumps(seen, ensure_ascii=False))


if __name__ == "__main__":
    main()
